#pragma once
// Writes generated files under the output folder by their game names ("gfx\x.jpg" -> gfx/x.jpg).
#include <cstdint>
#include <string>
#include <vector>

class Canvas;

class Output {
public:
    explicit Output(std::string root);

    void write(const std::string& gameName, const std::vector<uint8_t>& bytes);
    void writeText(const std::string& gameName, const std::string& text);
    void jpeg(const std::string& gameName, const Canvas& canvas, int quality = 92);
    void bmp(const std::string& gameName, const Canvas& canvas);
    // Colour-keyed picture: see Canvas::keyed8.
    void keyedBmp(const std::string& gameName, const Canvas& canvas);

    void fail(const std::string& message) { errors_.push_back(message); }

    bool ok() const { return errors_.empty(); }
    const std::vector<std::string>& errors() const { return errors_; }
    const std::vector<std::string>& written() const { return written_; }

private:
    std::string root_;
    std::vector<std::string> errors_;
    std::vector<std::string> written_;
};

// The lowest channel maximum any visible pixel of a colour-keyed picture may have.
constexpr int kKeyedMinLevel = 40;
