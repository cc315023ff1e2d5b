#include "window/song_font.h"

#include <QString>
#include <QStringList>

namespace vesko {

QFont SongFont(double points) {
  QFont font;
  font.setFamilies({QStringLiteral("SimSun"), QStringLiteral("Noto Serif CJK SC"),
                    QStringLiteral("AR PL UMing CN"), QStringLiteral("Noto Sans CJK SC"),
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
