#include "output.h"

#include <filesystem>
#include <fstream>

#include <stb/stb_image_write.h>

#include "canvas.h"

namespace {

std::string hostName(const std::string& gameName) {
    std::string s = gameName;
    for (char& c : s)
        if (c == '\\') c = '/';
    return s;
}

void appendBytes(void* context, void* data, int size) {
    auto* out = static_cast<std::vector<uint8_t>*>(context);
    const auto* p = static_cast<const uint8_t*>(data);
    out->insert(out->end(), p, p + size);
}

}  // namespace

Output::Output(std::string root) : root_(std::move(root)) {}

void Output::write(const std::string& gameName, const std::vector<uint8_t>& bytes) {
    const std::filesystem::path path = std::filesystem::path(root_) / hostName(gameName);
    std::error_code ec;
    std::filesystem::create_directories(path.parent_path(), ec);
    // Write beside and rename, so a reader never sees half a file.
    const std::filesystem::path tmp = path.string() + ".part";
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!out) {
            errors_.push_back("cannot write " + tmp.string());
            return;
        }
    }
    std::filesystem::rename(tmp, path, ec);
    if (ec) {
        errors_.push_back("cannot rename to " + path.string() + ": " + ec.message());
        return;
    }
    written_.push_back(gameName);
}

void Output::writeText(const std::string& gameName, const std::string& text) {
    write(gameName, std::vector<uint8_t>(text.begin(), text.end()));
}

void Output::jpeg(const std::string& gameName, const Canvas& canvas, int quality) {
    std::vector<uint8_t> bytes;
    const std::vector<uint8_t> pixels = canvas.rgb8();
    if (!stbi_write_jpg_to_func(appendBytes, &bytes, canvas.width(), canvas.height(), 3, pixels.data(), quality)) {
        errors_.push_back("cannot encode " + gameName);
        return;
    }
    write(gameName, bytes);
}

static void writeBmp(Output& out, std::vector<std::string>& errors, const std::string& gameName, int w, int h,
                     const std::vector<uint8_t>& pixels) {
    std::vector<uint8_t> bytes;
    if (!stbi_write_bmp_to_func(appendBytes, &bytes, w, h, 3, pixels.data())) {
        errors.push_back("cannot encode " + gameName);
        return;
    }
    out.write(gameName, bytes);
}

void Output::bmp(const std::string& gameName, const Canvas& canvas) {
    writeBmp(*this, errors_, gameName, canvas.width(), canvas.height(), canvas.rgb8());
}

void Output::keyedBmp(const std::string& gameName, const Canvas& canvas) {
    writeBmp(*this, errors_, gameName, canvas.width(), canvas.height(), canvas.keyed8(kKeyedMinLevel));
}
