#include "ui/qt/design_font.h"

#include <QApplication>
#include <QStringList>

namespace velnor {

QFont DesignFont() {
    QFont font = QApplication::font();
    // Tried in order: a font with no Chinese glyphs would show boxes.
    font.setFamilies({"WenQuanYi Micro Hei Mono", "WenQuanYi Micro Hei", "Noto Sans Mono CJK SC",
                      "Noto Sans CJK SC", "Source Han Sans SC", "AR PL UMing CN"});
    font.setPointSize(9);
    return font;
}

void UseDesignFont() {
    QApplication::setFont(DesignFont());
}

} // namespace velnor
