#pragma once

#include <QFont>
#include <QRgb>
#include <QString>

// The program's colours and its one font family. Style sheets name a colour as "@name" (and the
// family as "@font") and have sheet() fill them in; painters take the constants directly.
namespace Palette {

// Surfaces, darkest first.
constexpr QRgb black = qRgb(0x00, 0x00, 0x00);
constexpr QRgb form = qRgb(0x11, 0x12, 0x13);     // the form's background
constexpr QRgb frame = qRgb(0x12, 0x12, 0x12);    // around the form, under the title bar
constexpr QRgb bar = qRgb(0x1d, 0x1f, 0x21);      // the run bar, the health badge
constexpr QRgb rule = qRgb(0x20, 0x20, 0x20);     // between parameter rows
constexpr QRgb topRule = qRgb(0x24, 0x24, 0x24);  // over a camera panel
constexpr QRgb column = qRgb(0x28, 0x28, 0x28);   // the race course column
constexpr QRgb panel = qRgb(0x28, 0x2b, 0x2e);    // camera and parameter panels, the chart
constexpr QRgb dialog = qRgb(0x30, 0x30, 0x30);   // the About box
constexpr QRgb raised = qRgb(0x3a, 0x3d, 0x40);   // a hovered step arrow, the chart's grid
constexpr QRgb disabled = qRgb(0x40, 0x40, 0x40); // a disabled button
constexpr QRgb track = qRgb(0x4a, 0x4a, 0x4a);    // the race course's bar
constexpr QRgb field = qRgb(0x50, 0x50, 0x50);    // inputs, lists, neutral buttons
constexpr QRgb pressed = qRgb(0x60, 0x60, 0x60);
constexpr QRgb hover = qRgb(0x70, 0x70, 0x70);

// Text.
constexpr QRgb disabledText = qRgb(0x22, 0x22, 0x22);
constexpr QRgb link = qRgb(0x81, 0x81, 0x81);
constexpr QRgb caption = qRgb(0x90, 0x90, 0x90);
constexpr QRgb grey = qRgb(0xa0, 0xa0, 0xa4); // the joypad's cross
constexpr QRgb listText = qRgb(0xbe, 0xbe, 0xbe);
constexpr QRgb marker = qRgb(0xe8, 0xe8, 0xe8); // the chart's reference line and its labels
constexpr QRgb onAccent = qRgb(0xef, 0xef, 0xef);
constexpr QRgb white = qRgb(0xff, 0xff, 0xff);

// Signals.
constexpr QRgb accent = qRgb(0x22, 0xb2, 0x4c); // the action green
constexpr QRgb reached = qRgb(0x00, 0x80, 0x00);
constexpr QRgb leg = qRgb(0xa1, 0xcc, 0x4a);
constexpr QRgb waiting = qRgb(0xff, 0xc8, 0x3d);
constexpr QRgb fault = qRgb(0xe0, 0x40, 0x3a);
constexpr QRgb givenUpBar = qRgb(0xff, 0x3b, 0x30); // the chart's given-up marks
constexpr QRgb stop = qRgb(0xff, 0x00, 0x00);
constexpr QRgb selection = qRgb(0x00, 0x78, 0xd7);
constexpr QRgb slow = qRgb(0x12, 0xfd, 0x0d); // the ends of the speed slider
constexpr QRgb fast = qRgb(0xfc, 0x77, 0x01);

// One colour per camera in the run chart: the accent first, the rest apart from each other and
// from givenUpBar.
constexpr QRgb series[] = {accent,
                           qRgb(0x4f, 0xc3, 0xf7),
                           qRgb(0xff, 0xb7, 0x4d),
                           qRgb(0xba, 0x68, 0xc8),
                           qRgb(0xff, 0xf1, 0x76),
                           qRgb(0x4d, 0xb6, 0xac),
                           qRgb(0xf0, 0x62, 0x92),
                           qRgb(0xa1, 0x88, 0x7f),
                           qRgb(0x90, 0xa4, 0xae),
                           qRgb(0xae, 0xd5, 0x81)};

constexpr char fontFamily[] = "Kumbh Sans";

// A font in the program's family; pointSize <= 0 keeps the default size.
QFont font(int pointSize, int weight);

// `text` with each "@name" of a colour above replaced by its "#rrggbb" and "@font" by the quoted
// family.
QString sheet(const char *text);

// A colour as a style sheet or rich text writes it.
QString css(QRgb colour);

} // namespace Palette
