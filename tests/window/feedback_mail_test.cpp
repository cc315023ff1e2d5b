#include <QRegularExpression>
#include <QTest>

#include "window/feedback_mail.h"

#include "tests/test_rows.h"

using vesko::test::Row;

namespace {

// The message before its date, for the address "author@example.org".
const QString kMessageBeforeDate = QStringLiteral(
    " author@example.org?subject=致: Vesko 计算器作者&body=计算器作者,%0d%0a你好%0d%0a"
    "   我有以下改进建议：%0d%0a   1.%0d%0a   2.%0d%0a   %0d%0a       ");

}  // namespace

class FeedbackMailTest : public QObject {
  Q_OBJECT

 private slots:
  void composesTheMessageInOrder_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("expected");

    // One row spelled out in full, character for character.
    Row("zh_CN", QLocale(QLocale::Chinese, QLocale::China), QDate(2026, 12, 7),
        QStringLiteral(" author@example.org?subject=致: Vesko 计算器作者"
                       "&body=计算器作者,%0d%0a你好%0d%0a   我有以下改进建议：%0d%0a"
                       "   1.%0d%0a   2.%0d%0a   %0d%0a       2026/12/7"));
    // The date follows the locale's short date format.
    Row("en_US", QLocale(QLocale::English, QLocale::UnitedStates), QDate(2026, 12, 7),
        kMessageBeforeDate + QStringLiteral("12/7/26"));
    Row("de_DE", QLocale(QLocale::German, QLocale::Germany), QDate(2026, 3, 5),
        kMessageBeforeDate + QStringLiteral("05.03.26"));
    Row("zh_CN single digits", QLocale(QLocale::Chinese, QLocale::China), QDate(2027, 1, 2),
        kMessageBeforeDate + QStringLiteral("2027/1/2"));
  }
  void composesTheMessageInOrder() {
    QFETCH(QLocale, locale);
    QFETCH(QDate, date);
    QFETCH(QString, expected);
    QCOMPARE(vesko::ComposeFeedbackMail(QStringLiteral("author@example.org"), date, locale),
             expected);
  }

  void encodesTheWholeMessage() {
    const QString text =
        vesko::ComposeFeedbackMail(QStringLiteral("author@example.org"), QDate(2026, 12, 7),
                                   QLocale(QLocale::Chinese, QLocale::China));
    const QByteArray expected =
        "mailto:%20author@example.org?subject=%E8%87%B4:%20Vesko%20%E8%AE%A1%E7%AE%97%E5%99%A8"
        "%E4%BD%9C%E8%80%85&body=%E8%AE%A1%E7%AE%97%E5%99%A8%E4%BD%9C%E8%80%85,%0d%0a%E4%BD%A0"
        "%E5%A5%BD%0d%0a%20%20%20%E6%88%91%E6%9C%89%E4%BB%A5%E4%B8%8B%E6%94%B9%E8%BF%9B%E5%BB"
        "%BA%E8%AE%AE%EF%BC%9A%0d%0a%20%20%201.%0d%0a%20%20%202.%0d%0a%20%20%20%0d%0a%20%20%20"
        "%20%20%20%202026/12/7";
    QCOMPARE(vesko::EncodeFeedbackMail(text), expected);
  }

  void encodesOnlyWhatAUrlCannotCarry_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("expected");
    Row("space", QStringLiteral("a b"), QByteArray("mailto:a%20b"));
    Row("delimiters kept", QStringLiteral("a@b.c?x=1&y=2:3"), QByteArray("mailto:a@b.c?x=1&y=2:3"));
    Row("line break escapes kept", QStringLiteral("%0d%0a%0D%0A"),
        QByteArray("mailto:%0d%0a%0D%0A"));
    Row("lone percent", QStringLiteral("100%"), QByteArray("mailto:100%25"));
    Row("percent without hex", QStringLiteral("%zz%0"), QByteArray("mailto:%25zz%250"));
    Row("fragment sign", QStringLiteral("a#b"), QByteArray("mailto:a%23b"));
    Row("unsafe ASCII", QStringLiteral("\"<>\\^`{|}"),
        QByteArray("mailto:%22%3C%3E%5C%5E%60%7B%7C%7D"));
    Row("control characters", QStringLiteral("\r\n\t"), QByteArray("mailto:%0D%0A%09"));
    Row("Latin accent", QStringLiteral("é"), QByteArray("mailto:%C3%A9"));
    Row("full-width colon", QStringLiteral("："), QByteArray("mailto:%EF%BC%9A"));
    Row("right-to-left mark in a date", QStringLiteral("7\u200F/12"),
        QByteArray("mailto:7%E2%80%8F/12"));
    Row("empty", QString(), QByteArray("mailto:"));
  }
  void encodesOnlyWhatAUrlCannotCarry() {
    QFETCH(QString, text);
    QFETCH(QByteArray, expected);
    QCOMPARE(vesko::EncodeFeedbackMail(text), expected);
  }

  void urlDecodesBackToTheMessage_data() {
    QTest::addColumn<QLocale>("locale");
    Row("zh_CN", QLocale(QLocale::Chinese, QLocale::China));
    Row("en_US", QLocale(QLocale::English, QLocale::UnitedStates));
    Row("ar_EG", QLocale(QLocale::Arabic, QLocale::Egypt));
  }
  void urlDecodesBackToTheMessage() {
    QFETCH(QLocale, locale);
    const QString text = vesko::ComposeFeedbackMail(QStringLiteral("author@example.org"),
                                                    QDate(2026, 12, 7), locale);
    const QUrl url = vesko::FeedbackMailUrl(text);
    QVERIFY2(url.isValid(), qPrintable(url.errorString()));
    QCOMPARE(url.scheme(), QStringLiteral("mailto"));
    QCOMPARE(url.path(), QStringLiteral(" author@example.org"));

    // What reaches the desktop is plain ASCII without spaces...
    const QByteArray encoded = url.toEncoded();
    for (const char c : encoded) {
      QVERIFY2(c > ' ' && c < 0x7F, encoded.constData());
    }
    // ...and decodes to the message, its "%0d%0a" escapes becoming line breaks.
    QString decoded = text;
    decoded.replace(QStringLiteral("%0d%0a"), QStringLiteral("\r\n"));
    QCOMPARE(QUrl::fromPercentEncoding(encoded), QStringLiteral("mailto:") + decoded);
  }

  void feedbackAddressIsAPlainAddress() {
    static const QRegularExpression kAddress(QStringLiteral("^[^\\s@]+@[^\\s@]+$"));
    QVERIFY2(kAddress.match(vesko::FeedbackAddress()).hasMatch(),
             qPrintable(vesko::FeedbackAddress()));
  }
};

QTEST_GUILESS_MAIN(FeedbackMailTest)
#include "feedback_mail_test.moc"
