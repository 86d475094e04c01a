// doctest's main, which fails a run whose filters matched no test case: a renamed case would
// otherwise stop running without anyone noticing.
#define DOCTEST_CONFIG_IMPLEMENT
#include <doctest/doctest.h>

#include <cstdio>

static bool gRunEnded;
static unsigned gCasesRun;

// Listens for the end of the run alone.
struct CaseCount : doctest::IReporter {
    explicit CaseCount(const doctest::ContextOptions&) {}
    void report_query(const doctest::QueryData&) override {}
    void test_run_start() override {}
    void test_run_end(const doctest::TestRunStats& stats) override
    {
        gRunEnded = true;
        gCasesRun = stats.numTestCasesPassingFilters;
    }
    void test_case_start(const doctest::TestCaseData&) override {}
    void test_case_reenter(const doctest::TestCaseData&) override {}
    void test_case_end(const doctest::CurrentTestCaseStats&) override {}
    void test_case_exception(const doctest::TestCaseException&) override {}
    void subcase_start(const doctest::SubcaseSignature&) override {}
    void subcase_end() override {}
    void log_assert(const doctest::AssertData&) override {}
    void log_message(const doctest::MessageData&) override {}
    void test_case_skipped(const doctest::TestCaseData&) override {}
};
REGISTER_LISTENER("case-count", 1, CaseCount);

int main(int argc, char** argv)
{
    doctest::Context context(argc, argv);
    const int status = context.run();
    if (context.shouldExit() || !gRunEnded || status != 0)
        return status;
    if (gCasesRun == 0) {
        std::fprintf(stderr, "no test case matches the filters given: none ran\n");
        return 1;
    }
    return status;
}
