#include <QTest>

#include <ctime>

#include "window/clock_text.h"

#include "tests/test_rows.h"

using vesko::test::Row;

class ClockTextTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    // A zone with a recognisable abbreviation that differs from the build machine's usual UTC.
    qputenv("TZ", "America/New_York");
    tzset();
  }

  void dropsTheZoneField_data() {
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("expected");
    // Shapes of long time formats as the locales give them.
    Row("zone first", "t HH:mm:ss", "HH:mm:ss");
    Row("zone last", "HH:mm:ss t", "HH:mm:ss");
    Row("after AM/PM", "h:mm:ss AP t", "h:mm:ss AP");
    Row("after a comma", "h:mm:ss AP, t", "h:mm:ss AP");
    Row("in parentheses", "H:mm:ss (t)", "H:mm:ss");
    Row("in brackets", "APh:mm:ss [t]", "APh:mm:ss");
    Row("after a quoted unit", "H:mm:ss 'ч'. t", "H:mm:ss 'ч'.");
    Row("CJK units", "H時mm分ss秒 t", "H時mm分ss秒");
    Row("long zone field", "HH:mm:ss tttt", "HH:mm:ss");
    Row("offset field", "HH:mm:ss ttt", "HH:mm:ss");
    Row("between fields", "HH:mm t ss", "HH:mm ss");
    Row("bracketed between fields", "HH:mm (t)ss", "HH:mm ss");
    Row("two zone fields", "t HH:mm:ss t", "HH:mm:ss");
    Row("quoted t stays", "HH 'at' mm:ss", "HH 'at' mm:ss");
    Row("quoted t then zone", "HH'h't mm 't'", "HH'h' mm 't'");
    Row("no zone", "HH:mm:ss", "HH:mm:ss");
    Row("zone only", "t", "");
    Row("empty", "", "");
  }
  void dropsTheZoneField() {
    QFETCH(QString, format);
    QFETCH(QString, expected);
    QCOMPARE(vesko::TimeFormatWithoutZone(format), expected);
  }

  void showsTheTimeInTheLocaleFormat_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QTime>("time");
    QTest::addColumn<QString>("expected");
    const QTime afternoon(13, 4, 5);
    Row("zh_CN", QLocale(QLocale::Chinese, QLocale::China), afternoon,
        QStringLiteral("时间：13:04:05"));
    Row("zh_CN morning", QLocale(QLocale::Chinese, QLocale::China), QTime(0, 0, 9),
        QStringLiteral("时间：00:00:09"));
    Row("en_US", QLocale(QLocale::English, QLocale::UnitedStates), afternoon,
        QStringLiteral("时间：1:04:05 PM"));
    Row("de_DE", QLocale(QLocale::German, QLocale::Germany), afternoon,
        QStringLiteral("时间：13:04:05"));
    Row("es_ES", QLocale(QLocale::Spanish, QLocale::Spain), afternoon,
        QStringLiteral("时间：13:04:05"));
    Row("fi_FI", QLocale(QLocale::Finnish, QLocale::Finland), afternoon,
        QStringLiteral("时间：13.04.05"));
    Row("ja_JP", QLocale(QLocale::Japanese, QLocale::Japan), afternoon,
        QStringLiteral("时间：13時04分05秒"));
    Row("C", QLocale::c(), afternoon, QStringLiteral("时间：13:04:05"));
  }
  void showsTheTimeInTheLocaleFormat() {
    QFETCH(QLocale, locale);
    QFETCH(QTime, time);
    QFETCH(QString, expected);
    QCOMPARE(vesko::ClockText(time, locale), expected);
  }

  // Every locale Qt knows: where the long time format names the zone, the clock does not, and
  // the clock keeps the seconds.
  void noLocaleShowsAZoneName() {
    const QTime time(13, 4, 5);
    const QList<QLocale> locales =
        QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory);
    QVERIFY(locales.size() > 100);
    int localesWithZone = 0;
    for (const QLocale& locale : locales) {
      const QString withZone = locale.toString(time, QLocale::LongFormat);
      const QString clock = vesko::ClockText(time, locale);
      const QString context = locale.name() + QStringLiteral(": ") + clock;
      QVERIFY2(clock.startsWith(QStringLiteral("时间：")), qPrintable(context));
      QVERIFY2(clock.size() > 3, qPrintable(context));
      QVERIFY2(vesko::TimeFormatWithoutZone(locale.timeFormat(QLocale::LongFormat))
                   .contains(QLatin1Char('s')),
               qPrintable(context));
      for (const char* zone : {"EST", "EDT", "GMT", "UTC"}) {
        if (withZone.contains(QLatin1String(zone))) {
          ++localesWithZone;
          QVERIFY2(!clock.contains(QLatin1String(zone)), qPrintable(context));
        }
      }
    }
    // The check above only means something if the long formats do show the zone.
    QVERIFY(localesWithZone > 100);
  }
};

QTEST_GUILESS_MAIN(ClockTextTest)
#include "clock_text_test.moc"
