// Tokens of text .x files and the tree of data objects they make.
#include "graphics/xfile_syntax.h"

#include <charconv>
#include <cmath>

namespace xfile {

namespace {

constexpr int kMaxDepth = 64;

bool isNameStart(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}
bool isNameChar(char c) { return isNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

bool tokenize(std::string_view s, std::vector<Token>* out) {
    size_t i = 0;
    const size_t n = s.size();
    while (i < n) {
        char c = s[i];
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v') {
            ++i;
        } else if (c == '#' || (c == '/' && i + 1 < n && s[i + 1] == '/')) {
            while (i < n && s[i] != '\n') ++i;
        } else if (c == '{') {
            out->push_back({Tok::LBrace, s.substr(i, 1)});
            ++i;
        } else if (c == '}') {
            out->push_back({Tok::RBrace, s.substr(i, 1)});
            ++i;
        } else if (c == '[') {
            out->push_back({Tok::LBracket, s.substr(i, 1)});
            ++i;
        } else if (c == ']') {
            out->push_back({Tok::RBracket, s.substr(i, 1)});
            ++i;
        } else if (c == ';' || c == ',') {
            out->push_back({Tok::Sep, s.substr(i, 1)});
            ++i;
        } else if (c == '<') {
            size_t end = s.find('>', i);
            if (end == std::string_view::npos) return false;
            out->push_back({Tok::Guid, s.substr(i, end - i + 1)});
            i = end + 1;
        } else if (c == '"') {
            size_t end = s.find('"', i + 1);
            if (end == std::string_view::npos) return false;
            out->push_back({Tok::String, s.substr(i + 1, end - i - 1)});
            i = end + 1;
        } else if (c == '.' && !(i + 1 < n && isDigit(s[i + 1]))) {
            out->push_back({Tok::Dot, s.substr(i, 1)});  // "[...]" in templates
            ++i;
        } else if (isDigit(c) || c == '-' || c == '+' || c == '.') {
            size_t start = i;
            if (c == '-' || c == '+') ++i;
            bool isFloat = false;
            while (i < n && isDigit(s[i])) ++i;
            if (i < n && s[i] == '.') {
                isFloat = true;
                ++i;
                while (i < n && isDigit(s[i])) ++i;
            }
            if (i < n && (s[i] == 'e' || s[i] == 'E')) {
                size_t save = i;
                ++i;
                if (i < n && (s[i] == '-' || s[i] == '+')) ++i;
                if (i < n && isDigit(s[i])) {
                    isFloat = true;
                    while (i < n && isDigit(s[i])) ++i;
                } else {
                    i = save;
                }
            }
            std::string_view text = s.substr(start, i - start);
            // from_chars rejects a leading '+'
            std::string_view digits = text;
            if (!digits.empty() && digits[0] == '+') digits.remove_prefix(1);
            Token t{isFloat ? Tok::Float : Tok::Int, text};
            if (isFloat) {
                auto r = std::from_chars(digits.data(), digits.data() + digits.size(), t.number);
                if (r.ec != std::errc() || r.ptr != digits.data() + digits.size()) return false;
            } else {
                auto r = std::from_chars(digits.data(), digits.data() + digits.size(), t.integer);
                if (r.ec != std::errc() || r.ptr != digits.data() + digits.size()) return false;
                t.number = static_cast<double>(t.integer);
            }
            if (!std::isfinite(t.number)) return false;
            out->push_back(t);
        } else if (isNameStart(c)) {
            size_t start = i;
            while (i < n && isNameChar(s[i])) ++i;
            out->push_back({Tok::Name, s.substr(start, i - start)});
        } else {
            return false;
        }
    }
    out->push_back({Tok::End, {}});
    return true;
}

namespace {

class Parser {
public:
    explicit Parser(const std::vector<Token>& tokens) : t_(tokens) {}

    bool parseFile(Node* root) {
        while (peek().type != Tok::End) {
            const Token& tk = peek();
            if (tk.type == Tok::Name && tk.text == "template") {
                ++pos_;
                if (!skipTemplate()) return false;
            } else if (tk.type == Tok::Name) {
                auto child = std::make_unique<Node>();
                if (!parseObject(child.get(), 1)) return false;
                root->children.push_back(std::move(child));
            } else if (tk.type == Tok::LBrace) {
                if (!skipReference()) return false;
            } else if (tk.type == Tok::Sep) {
                ++pos_;
            } else {
                return false;
            }
        }
        return true;
    }

private:
    const Token& peek() const { return t_[pos_]; }

    bool skipTemplate() {
        if (peek().type != Tok::Name) return false;
        ++pos_;
        if (peek().type != Tok::LBrace) return false;
        ++pos_;
        int depth = 1;
        while (depth > 0) {
            Tok ty = peek().type;
            if (ty == Tok::End) return false;
            if (ty == Tok::LBrace) ++depth;
            if (ty == Tok::RBrace) --depth;
            ++pos_;
        }
        return true;
    }

    // "{ name }" or "{ name <guid> }": a reference to another object, which we do not follow.
    bool skipReference() {
        ++pos_;
        while (peek().type == Tok::Name || peek().type == Tok::Guid) ++pos_;
        if (peek().type != Tok::RBrace) return false;
        ++pos_;
        return true;
    }

    bool parseObject(Node* node, int depth) {
        if (depth > kMaxDepth) return false;
        node->type = peek().text;
        ++pos_;
        if (peek().type == Tok::Name) ++pos_;  // the object's own name
        if (peek().type != Tok::LBrace) return false;
        ++pos_;
        if (peek().type == Tok::Guid) ++pos_;
        for (;;) {
            const Token& tk = peek();
            switch (tk.type) {
            case Tok::End:
                return false;
            case Tok::RBrace:
                ++pos_;
                return true;
            case Tok::Int:
            case Tok::Float:
            case Tok::String:
                node->values.push_back(&tk);
                ++pos_;
                break;
            case Tok::Sep:
                ++pos_;
                break;
            case Tok::LBrace:
                if (!skipReference()) return false;
                break;
            case Tok::Name: {
                auto child = std::make_unique<Node>();
                if (!parseObject(child.get(), depth + 1)) return false;
                node->children.push_back(std::move(child));
                break;
            }
            default:
                return false;
            }
        }
    }

    const std::vector<Token>& t_;
    size_t pos_ = 0;
};

}  // namespace

bool parseObjects(const std::vector<Token>& tokens, Node* root) { return Parser(tokens).parseFile(root); }

}  // namespace xfile
