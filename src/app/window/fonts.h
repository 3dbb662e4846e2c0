// The faces the window asks for, and where other systems find them.
//
// The window keeps the Windows face names its users know; Debian ships the
// IPA faces instead, other distributions Takao or Noto CJK. Without naming
// them Qt falls back to whatever Japanese face fontconfig offers first, which
// is a Gothic one, and the title loses its Mincho.
#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

namespace kenshin::window {

// Families for each face the window uses, the first installed one wins.
struct Faces {
  QStringList mincho;        // the title
  QStringList gothic;        // every other control
  QStringList fixed_gothic;  // the report viewer: full-width letters twice as wide as half-width ones
};

// The Windows face first, then its likenesses: IPA, Takao, Noto CJK.
const Faces& default_faces();

// A font that tries `families` in order.
QFont face_font(const QStringList& families, int point_size);

}  // namespace kenshin::window
