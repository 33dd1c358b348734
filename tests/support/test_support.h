#pragma once
// Shared by the test programs: captured error boxes, files in a scratch folder.
#include <string>
#include <vector>

// Every showError text since the last clear.
std::vector<std::string>& errorBoxes();
void captureErrorBoxes();  // installs the recorder and clears it

// A fresh empty folder, made the working directory while the object lives.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    const std::string& path() const { return path_; }
    void write(const std::string& name, const std::string& bytes);
    std::string read(const std::string& name) const;

private:
    std::string path_;
    std::string previous_;
};
