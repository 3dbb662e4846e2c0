// The faces the window asks for, and where Debian finds them.
//
// The window keeps the Windows face names its users know; Debian ships the
// IPA faces instead, and without a substitution Qt falls back to whatever
// Japanese face fontconfig offers first, which is a Gothic one.
#pragma once

#include <QString>

namespace kenshin::window {

inline const QString kMinchoFace = QStringLiteral("ＭＳ Ｐ明朝");         // the title
inline const QString kGothicFace = QStringLiteral("ＭＳ Ｐゴシック");     // every other control
inline const QString kFixedGothicFace = QStringLiteral("ＭＳ ゴシック");  // the report viewer

// Maps the three names to the IPA faces. Safe to call more than once.
void install_font_substitutions();

}  // namespace kenshin::window
