#include "support/test_support.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <process.h>
#else
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "app/show_error.h"

std::vector<std::string>& errorBoxes() {
    static std::vector<std::string> boxes;
    return boxes;
}

void captureErrorBoxes() {
    errorBoxes().clear();
    setErrorBox([](const char*, const char* text) { errorBoxes().push_back(text); });
}

ScratchDir::ScratchDir() {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path base = fs::temp_directory_path(ec);
    std::random_device seed;
    std::mt19937 rng(seed());
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
        const fs::path candidate = base / ("frostel-test-" + std::to_string(rng()));
        if (fs::create_directory(candidate, ec)) path_ = candidate.string();
    }
    if (path_.empty()) path_ = base.string();
    previous_ = fs::current_path().string();
    fs::current_path(path_);
}

ScratchDir::~ScratchDir() {
    std::filesystem::current_path(previous_);
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

void ScratchDir::write(const std::string& name, const std::string& bytes) {
    auto full = std::filesystem::path(path_) / name;
    std::filesystem::create_directories(full.parent_path());
    std::ofstream(full, std::ios::binary) << bytes;
}

std::string ScratchDir::read(const std::string& name) const {
    std::ifstream in(std::filesystem::path(path_) / name, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

#ifndef _WIN32
void inFreshProcess(const std::function<void(Report&)>& body) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        close(fds[0]);
        Report report;
        body(report);
        const char* p = report.lines.data();
        size_t left = report.lines.size();
        while (left > 0) {
            ssize_t n = write(fds[1], p, left);
            if (n <= 0) break;
            p += n;
            left -= size_t(n);
        }
        close(fds[1]);
        _exit(0);
    }
    close(fds[1]);
    std::string out;
    char buf[4096];
    ssize_t n;
    while ((n = read(fds[0], buf, sizeof buf)) > 0) out.append(buf, size_t(n));
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child ended abnormally";
    EXPECT_EQ(out, "");
}
#else
namespace {
constexpr const char* kCallVariable = "FROSTEL_FRESH_CALL";
constexpr const char* kReportVariable = "FROSTEL_FRESH_REPORT";
constexpr const char* kDone = "done\n";  // the child's last line: its body ran to the end
}  // namespace

void inFreshProcess(const std::function<void(Report&)>& body) {
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    const std::string name = std::string(test->test_suite_name()) + "." + test->name();
    static std::string counting;
    static int calls = 0;
    if (counting != name) counting = name, calls = 0;
    const int call = ++calls;

    if (const char* wanted = std::getenv(kCallVariable); wanted && *wanted) {
        if (std::atoi(wanted) != call) return;  // another call of this test is being checked
        Report report;
        body(report);
        std::ofstream(std::getenv(kReportVariable), std::ios::binary) << report.lines << kDone;
        return;
    }

    const std::string reportPath =
        (std::filesystem::temp_directory_path() / ("frostel-fresh-" + std::to_string(_getpid()) + ".txt")).string();
    std::filesystem::remove(reportPath);
    _putenv_s(kCallVariable, std::to_string(call).c_str());
    _putenv_s(kReportVariable, reportPath.c_str());
    const std::string filter = "--gtest_filter=" + name;
    const intptr_t status = _spawnl(_P_WAIT, _pgmptr, _pgmptr, filter.c_str(), "--gtest_brief=1", nullptr);
    _putenv_s(kCallVariable, "");
    std::ifstream in(reportPath, std::ios::binary);
    std::stringstream out;
    out << in.rdbuf();
    in.close();
    std::filesystem::remove(reportPath);
    EXPECT_EQ(status, 0) << "child ended abnormally";
    EXPECT_EQ(out.str(), kDone);
}
#endif
