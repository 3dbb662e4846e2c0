#include "app/window/fonts.h"

namespace kenshin::window {

const Faces& default_faces() {
  // fontconfig lists the IPA and Takao faces under an English and a Japanese
  // name; either may be the one Qt sees.
  static const Faces faces{
      {QStringLiteral("ＭＳ Ｐ明朝"), QStringLiteral("MS PMincho"), QStringLiteral("IPAPMincho"),
       QStringLiteral("IPA P明朝"), QStringLiteral("IPAMincho"), QStringLiteral("IPA明朝"),
       QStringLiteral("TakaoPMincho"), QStringLiteral("Takao P明朝"), QStringLiteral("TakaoMincho"),
       QStringLiteral("Takao明朝"), QStringLiteral("Noto Serif CJK JP")},
      {QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"), QStringLiteral("IPAPGothic"),
       QStringLiteral("IPA Pゴシック"), QStringLiteral("IPAGothic"), QStringLiteral("IPAゴシック"),
       QStringLiteral("TakaoPGothic"), QStringLiteral("Takao Pゴシック"), QStringLiteral("TakaoGothic"),
       QStringLiteral("Takaoゴシック"), QStringLiteral("Noto Sans CJK JP")},
      {QStringLiteral("ＭＳ ゴシック"), QStringLiteral("MS Gothic"), QStringLiteral("IPAGothic"),
       QStringLiteral("IPAゴシック"), QStringLiteral("TakaoGothic"), QStringLiteral("Takaoゴシック"),
       QStringLiteral("Noto Sans Mono CJK JP")},
  };
  return faces;
}

QFont face_font(const QStringList& families, int point_size) {
  QFont font;
  font.setFamilies(families);
  font.setPointSize(point_size);
  return font;
}

}  // namespace kenshin::window
