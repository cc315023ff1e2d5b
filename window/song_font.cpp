#include "window/song_font.h"

#include <QString>
#include <QStringList>

namespace vesko {

QFont SongFont(double points) {
  QFont font;
  // The Debian package depends on the packages of the second and third family in this order.
  font.setFamilies({QStringLiteral("SimSun"), QStringLiteral("AR PL UMing CN"),
                    QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Noto Sans CJK SC"),
                    QStringLiteral("sans-serif")});
  font.setStyleHint(QFont::SansSerif);
  font.setPointSizeF(points);
  font.setWeight(QFont::Normal);
  font.setItalic(false);
  font.setUnderline(false);
  font.setStrikeOut(false);
  return font;
}

}  // namespace vesko
