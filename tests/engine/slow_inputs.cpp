// Inputs that once took time growing with the square of their length, or memory many times their
// size: each is typed (a live run) and committed through the controller, and the committed or
// error row is checked, and the peak memory against a generous bound per input character. Run by
// CTest with a time limit per input, generous enough that only a return of the old growth can
// pass it.
//
//   slow_inputs NAME    runs one input; exits 1 when its row is not the expected one
//   slow_inputs         lists the names

#include "engine/calculation_controller.h"
#include "engine/plain_input_text.h"
#include "script/script_evaluator.h"

#include <QFile>
#include <QString>

#include <cstdio>
#include <functional>
#include <map>
#include <string>

namespace {

using namespace Qt::StringLiterals;

struct SlowInput {
  std::function<QString()> text;
  // The row the commit leaves right below the live row (or on top, for an error row) starts
  // with `rowStart` and ends with `rowEnd`.
  QString rowStart;
  QString rowEnd;
};

QString Chain(const QString& term, const QString& op, qsizetype length) {
  QString text;
  text.reserve(length + term.size());
  text += term;
  while (text.size() + op.size() + term.size() <= length) {
    text += op;
    text += term;
  }
  return text;
}

const QString kError = QStringLiteral("表达式错误:");
const QString kPi = QStringLiteral("3.1415926535897932384626433832795");
constexpr qsizetype kTenMegabytes = 10'000'000;

const std::map<std::string, SlowInput>& Inputs() {
  static const std::map<std::string, SlowInput> inputs = {
      {"upper_case_growing",
       {[] { return QStringLiteral("Len(UCase(String(2000000,ChrW(223))))"); }, u"Len("_s,
        u"=4000000"_s}},
      {"upper_case_growing_threefold",
       {[] { return QStringLiteral("Len(UCase(String(1000000,ChrW(912))))"); }, u"Len("_s,
        u"=3000000"_s}},
      {"lower_case_growing",
       {[] { return QStringLiteral("Len(LCase(String(2000000,ChrW(304))))"); }, u"Len("_s,
        u"=4000000"_s}},
      {"upper_case_beyond_string_limit",
       {[] { return QStringLiteral("UCase(String(4194304,ChrW(223)))"); },
        kError + u"UCase(String(4194304,ChrW(223)))"_s, u")"_s}},
      {"replace_growing",
       {[] { return QStringLiteral("Len(Replace(String(400000,\"a\"),\"a\",\"aaaaaaaaaa\"))"); },
        u"Len("_s, u"=4000000"_s}},
      {"sum_of_ten_megabytes",
       {[] { return Chain(u"1"_s, u"+"_s, kTenMegabytes); }, u"1+1+1+"_s, u"=5000000"_s}},
      {"pi_ten_megabytes",
       {[] { return QStringLiteral("pi").repeated(kTenMegabytes / 2); }, kError + kPi + kPi,
        u"…"_s}},
      {"product_of_pi_nine_megabytes",
       {[] { return Chain(u"pi"_s, u"*"_s, 9'000'000); }, kError + kPi + u"*"_s + kPi, u"…"_s}},
      {"join_of_ten_megabytes",
       {[] { return Chain(u"\"ab\""_s, u"&"_s, kTenMegabytes); }, u"\"ab\"&\"ab\"&"_s,
        u"ababab"_s}},
      {"literal_beyond_string_limit",
       {[] { return u'"' + QString(5'000'000, u'x') + u'"'; }, kError + u"\"xxx"_s, u"…"_s}},
      {"abs_of_five_million_arguments",
       {[] { return u"Abs("_s + Chain(u"1"_s, u","_s, kTenMegabytes) + u")"_s; },
        kError + u"Abs(1,1,1,"_s, u"…"_s}},
      {"array_of_five_million_items",
       {[] { return u"UBound(Array("_s + Chain(u"1"_s, u","_s, kTenMegabytes) + u"))"_s; },
        kError + u"UBound(Array(1,1,1,"_s, u"…"_s}},
      {"array_of_a_million_items",
       {[] { return u"UBound(Array("_s + Chain(u"1"_s, u","_s, 2 * 1048576 - 1) + u"))"_s; },
        u"UBound(Array(1,1,1,"_s, u"=1048575"_s}},
      {"unknown_function_of_2_5_million_arguments",
       {[] { return u"Foo("_s + Chain(u"1"_s, u","_s, kTenMegabytes / 2) + u")"_s; },
        kError + u"Foo(1,1,1,"_s, u"…"_s}},
      {"indexes_2_5_million",
       {[] { return u"Array(1)("_s + Chain(u"0"_s, u","_s, kTenMegabytes / 2) + u")"_s; },
        kError + u"Array(1)(0,0,0,"_s, u"…"_s}},
      {"arrays_nested_65534_deep",
       {[] { return u"UBound("_s + u"Array("_s.repeated(65534) + u'1' + QString(65535, u')'); },
        u"UBound(Array(Array("_s, u"=0"_s}},
      {"deep_brackets",
       {[] { return QString(5'000'000, u'(') + u'1' + QString(5'000'000, u')'); },
        kError + u"((("_s, u"…"_s}},
  };
  return inputs;
}

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kUnderAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kUnderAddressSanitizer = true;
#else
constexpr bool kUnderAddressSanitizer = false;
#endif
#else
constexpr bool kUnderAddressSanitizer = false;
#endif

// The most resident memory an input of `inputLength` characters may have needed: 30 bytes per
// input character above a base. The address sanitizer keeps freed blocks in its quarantine (256 MiB
// by default) and surrounds every live block with red zones and their shadow, so under it the bound
// is twice as large plus the quarantine.
long AllowedKilobytes(qsizetype inputLength) {
  const long plain = 65536 + static_cast<long>(inputLength) * 30 / 1024;
  return kUnderAddressSanitizer ? 2 * plain + 256 * 1024 : plain;
}

// The peak resident memory of this process so far (Linux), or 0 when unknown.
long PeakKilobytes() {
  QFile status(QStringLiteral("/proc/self/status"));
  if (!status.open(QIODevice::ReadOnly)) {
    return 0;
  }
  for (const QByteArray& line : status.readAll().split('\n')) {
    if (line.startsWith("VmHWM:")) {
      return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    for (const auto& [name, input] : Inputs()) {
      std::printf("%s\n", name.c_str());
    }
    return 0;
  }
  const auto found = Inputs().find(argv[1]);
  if (found == Inputs().end()) {
    std::fprintf(stderr, "no input named %s\n", argv[1]);
    return 2;
  }
  const SlowInput& slow = found->second;

  vesko::PlainInputText input;
  const auto evaluator = vesko::CreateScriptEvaluator();
  vesko::CalculationController controller(
      *evaluator, input,
      {.setInputText = [&](const QString& text) { input.setText(text); },
       .focusInput = [] {},
       .setHistoryText = [](const QString&) {},
       .editHistoryTop = {},
       .moveInputCaretToEnd = {}});
  controller.UpdateFromInput();
  input.setText(slow.text());
  controller.UpdateFromInput();  // the key release of the paste
  controller.RequestCommit();
  controller.UpdateFromInput();  // Enter
  const QString row = controller.rows().value(slow.rowStart.startsWith(kError) ? 0 : 1);
  controller.UpdateFromInput();  // a key in the empty input box
  const qsizetype inputLength = slow.text().size();

  if (!row.startsWith(slow.rowStart) || !row.endsWith(slow.rowEnd)) {
    std::fprintf(stderr, "%s: unexpected row %s…%s\n", argv[1], qPrintable(row.left(80)),
                 qPrintable(row.right(40)));
    return 1;
  }
  const long peakKilobytes = PeakKilobytes();
  const long allowedKilobytes = AllowedKilobytes(inputLength);
  if (peakKilobytes > allowedKilobytes) {
    std::fprintf(stderr, "%s: peak of %ld kB, more than %ld kB\n", argv[1], peakKilobytes,
                 allowedKilobytes);
    return 1;
  }
  return 0;
}
