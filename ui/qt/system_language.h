#pragma once

class QLocale;

namespace velnor {

// Qt's own texts (the standard buttons of message boxes: 确定, 取消, 是, 否 on
// a Chinese desktop) in the language of locale, as the system's own boxes
// show them; English where Qt has no translation for it.
void UseQtTranslations(const QLocale& locale);

} // namespace velnor
