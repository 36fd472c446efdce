// Test main of the Windows test programs. It prints GoogleTest's usual output,
// except that a test which reached the missing decoder (NoDecoder.h) without
// failing before is reported as skipped: those assertions belong to the native
// build, which has zxing-cpp. The exit status and the closing
// "N passed, N failed, N skipped" line count the tests that way.

#include "NoDecoder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

class DecoderAwarePrinter : public testing::TestEventListener {
public:
    explicit DecoderAwarePrinter(testing::TestEventListener* inner) : inner_(inner) {}

    void OnTestProgramStart(const testing::UnitTest& u) override { inner_->OnTestProgramStart(u); }
    void OnTestIterationStart(const testing::UnitTest& u, int i) override { inner_->OnTestIterationStart(u, i); }
    void OnEnvironmentsSetUpStart(const testing::UnitTest& u) override { inner_->OnEnvironmentsSetUpStart(u); }
    void OnEnvironmentsSetUpEnd(const testing::UnitTest& u) override { inner_->OnEnvironmentsSetUpEnd(u); }
    void OnTestSuiteStart(const testing::TestSuite& s) override { inner_->OnTestSuiteStart(s); }
    void OnTestSuiteEnd(const testing::TestSuite& s) override { inner_->OnTestSuiteEnd(s); }
    void OnEnvironmentsTearDownStart(const testing::UnitTest& u) override { inner_->OnEnvironmentsTearDownStart(u); }
    void OnEnvironmentsTearDownEnd(const testing::UnitTest& u) override { inner_->OnEnvironmentsTearDownEnd(u); }
    void OnTestProgramEnd(const testing::UnitTest& u) override { inner_->OnTestProgramEnd(u); }

    void OnTestStart(const testing::TestInfo& info) override {
        testsupport::resetDecoderCalls();
        failedBeforeDecoder_ = false;
        inner_->OnTestStart(info);
    }

    void OnTestPartResult(const testing::TestPartResult& result) override {
        const bool decoderReached = testsupport::decoderCallsInTest() > 0;
        if (result.failed() && !decoderReached)
            failedBeforeDecoder_ = true;
        if (!(result.failed() && decoderReached))
            inner_->OnTestPartResult(result);
    }

    void OnTestEnd(const testing::TestInfo& info) override {
        const std::string name = std::string(info.test_suite_name()) + "." + info.name();
        if (testsupport::decoderCallsInTest() > 0 && !failedBeforeDecoder_) {
            std::printf("[  SKIPPED ] %s (needs the decoder)\n", name.c_str());
            std::fflush(stdout);
            ++skipped_;
            return;
        }
        inner_->OnTestEnd(info);
        if (info.result()->Failed()) {
            failedNames_.push_back(name);
        } else if (info.result()->Skipped()) {
            ++skipped_;
        } else {
            ++passed_;
        }
    }

    void OnTestIterationEnd(const testing::UnitTest&, int) override {
        for (const std::string& name : failedNames_)
            std::printf("[  FAILED  ] %s\n", name.c_str());
        std::printf("%d passed, %d failed, %d skipped\n", passed_, static_cast<int>(failedNames_.size()), skipped_);
        std::fflush(stdout);
    }

    bool anyFailed() const { return !failedNames_.empty(); }
    int ran() const { return passed_ + static_cast<int>(failedNames_.size()); }

private:
    std::unique_ptr<testing::TestEventListener> inner_;
    bool failedBeforeDecoder_ = false;
    int passed_ = 0;
    int skipped_ = 0;
    std::vector<std::string> failedNames_;
};

}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    testing::TestEventListeners& listeners = testing::UnitTest::GetInstance()->listeners();
    auto* printer = new DecoderAwarePrinter(listeners.Release(listeners.default_result_printer()));
    listeners.Append(printer);  // owned by GoogleTest from here on
    const int status = RUN_ALL_TESTS();
    if (testing::GTEST_FLAG(list_tests))
        return status;
    // A run in which nothing ran (a filter matching nothing) is a failure too.
    return printer->anyFailed() || printer->ran() == 0 ? 1 : 0;
}
