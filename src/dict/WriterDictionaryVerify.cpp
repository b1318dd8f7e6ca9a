#include "dict/WriterDictionaryVerify.h"

#include "dict/WriterDictionary.h"

namespace lexaport {
namespace {

class ReportVisitor final : public WriterTreeVisitor {
 public:
  explicit ReportVisitor(WriterVerifyReport& report) : report_(report) {}
  void OnEntry(const WriterEntry&) override { ++report_.entryCount; }
  void OnProblem(const std::string& text) override { Add(report_, text); }

  static void Add(WriterVerifyReport& report, const std::string& text) {
    if (report.problemCount < kMaxListedProblems) report.problems.push_back(text);
    ++report.problemCount;
  }

 private:
  WriterVerifyReport& report_;
};

}  // namespace

WriterVerifyReport VerifyWriterDictionary(const std::uint8_t* bytes, std::size_t size) {
  WriterVerifyReport report;
  const WriterDictionary dictionary(bytes, size);
  for (const std::string& problem : dictionary.HeaderProblems()) ReportVisitor::Add(report, problem);

  // The tree can be walked whenever its layout is known, even when the header has faults.
  const WriterDictionaryInfo& info = dictionary.Info();
  const bool layoutKnown = size >= dictfile::kFirstBlockOffset && info.recordNumbersFlag <= 1 && info.datesFlag <= 1 && info.alignedFlag <= 1;
  if (layoutKnown) {
    ReportVisitor visitor(report);
    dictionary.Walk(visitor);
  }
  if (report.problemCount > kMaxListedProblems) {
    report.problems.push_back("... and " + std::to_string(report.problemCount - kMaxListedProblems) +
                              " further problems");
  }
  return report;
}

}  // namespace lexaport
