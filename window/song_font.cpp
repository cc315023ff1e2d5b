#include "window/song_font.h"

#include <QString>
#include <QStringList>

namespace vesko {

QFont SongFont(double points) {
  QFont font;
  // AR PL UMing CN comes before Noto Serif CJK SC: its lines are as tight as SimSun's (14 pixels at
  // 10.5 points, against 20), for which the window was designed; with Noto's, the history box at
  // its start height shows only one and a half of the two start rows. The Debian package depends
  // on the packages of the second and third family in this order.
  font.setFamilies({QStringLiteral("SimSun"), QStringLiteral("AR PL UMing CN"),
                    QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Noto Sans CJK SC"),
                    QStringLiteral("sans-serif")});
  font.setStyleHint(QFont::SansSerif);
  font.setPointSizeF(points);
  font.setWeight(QFont::Normal);
  font.setItalic(false);
  font.setUnderline(false);
  font.setStrikeOut(false);
  // Without hinting the font's own hinting programs are never run: the glyphs look the same at
  // these sizes (AR PL UMing CN draws them from its bitmaps), and start-up needs about 3 MiB less.
  font.setHintingPreference(QFont::PreferNoHinting);
  return font;
}

}  // namespace vesko
