#pragma once
// The syntax of text .x files: tokens, and the tree of data objects they make. Only the .x
// reader includes it.
#include <memory>
#include <string_view>
#include <vector>

namespace xfile {

enum class Tok { Name, Int, Float, String, Guid, LBrace, RBrace, LBracket, RBracket, Sep, Dot, End };

struct Token {
    Tok type;
    std::string_view text;
    double number = 0;
    long long integer = 0;
};

// Splits the body of the file into tokens; false on a character no token can start with.
bool tokenize(std::string_view s, std::vector<Token>* out);

// One data object: its numbers in order and the objects nested in it.
struct Node {
    std::string_view type;
    std::vector<const Token*> values;
    std::vector<std::unique_ptr<Node>> children;
};

// The data objects under root; templates are skipped and references not followed.
bool parseObjects(const std::vector<Token>& tokens, Node* root);

}  // namespace xfile
