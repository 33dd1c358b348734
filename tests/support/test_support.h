#pragma once
// Shared by the test programs: captured error boxes, files in a scratch folder.
#include <functional>
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

// Checks made in a fresh process come back as lines of text.
struct Report {
    std::string lines;
    void check(bool ok, const std::string& what) {
        if (!ok) lines += what + "\n";
    }
};

// Runs `body` in a fresh process (the process-wide singletons start empty there) and expects
// it to end normally with no failed check. POSIX forks; Windows runs the test program again
// with only the current test, in which the matching call runs its body.
void inFreshProcess(const std::function<void(Report&)>& body);
