#include "engine/huge_input_refusal.h"
#include "engine/plain_input_text.h"

#include <QTest>

#include <algorithm>

#include "tests/test_rows.h"

using vesko::test::Row;

using vesko::HugeInputRefusal;
using vesko::kLiveTextLimit;
using vesko::PlainInputText;

namespace {

// An input that records how it was read.
class WatchedInput : public PlainInputText {
 public:
  using PlainInputText::PlainInputText;

  QString text() const override {
    ++wholeReads;
    return PlainInputText::text();
  }
  QString textStart(qsizetype length) const override {
    longestStart = std::max(longestStart, length);
    return PlainInputText::textStart(length);
  }

  mutable int wholeReads = 0;
  mutable qsizetype longestStart = 0;
};

// The length of the first part read: a little more than the live limit.
constexpr qsizetype kFirstRead = kLiveTextLimit + 128;

}  // namespace

class HugeInputRefusalTest : public QObject {
  Q_OBJECT

 private slots:
  // Refused are inputs longer than the first part read whose start alone has a form beyond the
  // live limit; the start's form counts, not the text's length.
  void refusesByTheStartsForm_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("refused");
    Row("short text with a long form", QStringLiteral("pi").repeated(1000), false);
    Row("as long as the first read", QString(kFirstRead, u'1'), false);
    Row("one longer than the first read", QString(kFirstRead + 1, u'1'), true);
    Row("pi expanded in the start", QStringLiteral("pi").repeated(20000), true);
    Row("stars shortened, refused by the second read", QStringLiteral("2**").repeated(70000), true);
    Row("stars shortened, too short for the second read", QStringLiteral("2**").repeated(40000),
        false);
    Row("blank start", QString(140000, u' ') + QStringLiteral("1+2"), false);
    Row("carriage returns inside",
        QStringLiteral("1") + QString(140000, u'\r') + QStringLiteral("+2"), false);
    Row("blank end", QStringLiteral("1+2") + QString(140000, u' '), false);
    Row("ten million characters", QString(10'000'000, u'1'), true);
  }
  void refusesByTheStartsForm() {
    QFETCH(QString, text);
    QFETCH(bool, refused);
    const WatchedInput input(text);
    HugeInputRefusal refusal;
    QCOMPARE(refusal.Refuses(input), refused);
    // Judged unread: the whole text is never asked for, its start only up to four live limits.
    QCOMPARE(input.wholeReads, 0);
    QVERIFY(input.longestStart <= 4 * kLiveTextLimit);
  }

  // The judgement of a start is kept while the start stays; a changed start is judged again.
  void judgesTheCurrentStart() {
    HugeInputRefusal refusal;
    PlainInputText input(QString(40000, u'1'));
    QVERIFY(refusal.Refuses(input));
    input.setText(input.text() + QStringLiteral("+2"));  // typed at the end
    QVERIFY(refusal.Refuses(input));
    input.setText(QString(40000, u' ') + QStringLiteral("+2"));  // the start blanked
    QVERIFY(!refusal.Refuses(input));
    input.setText(QString(39000, u' ') + QString(1000, u'1'));  // same length, blank start
    QVERIFY(!refusal.Refuses(input));
    input.setText(QString(40000, u'1'));
    QVERIFY(refusal.Refuses(input));
  }
};

QTEST_APPLESS_MAIN(HugeInputRefusalTest)
#include "huge_input_refusal_test.moc"
