#include "app/window/fonts.h"

#include <QFont>
#include <QStringList>

namespace kenshin::window {

void install_font_substitutions() {
  // Both spellings of each face: fontconfig lists them under their English and their Japanese name.
  QFont::removeSubstitutions(kMinchoFace);
  QFont::insertSubstitutions(kMinchoFace, {QStringLiteral("IPAPMincho"), QStringLiteral("IPA P明朝"),
                                           QStringLiteral("IPAMincho"), QStringLiteral("IPA明朝")});
  QFont::removeSubstitutions(kGothicFace);
  QFont::insertSubstitutions(kGothicFace, {QStringLiteral("IPAPGothic"), QStringLiteral("IPA Pゴシック"),
                                           QStringLiteral("IPAGothic"), QStringLiteral("IPAゴシック")});
  QFont::removeSubstitutions(kFixedGothicFace);
  QFont::insertSubstitutions(kFixedGothicFace, {QStringLiteral("IPAGothic"), QStringLiteral("IPAゴシック")});
}

}  // namespace kenshin::window
