#include "shell/palette.h"

#include <QColor>
#include <cstring>

namespace Palette {

namespace {

struct Named
{
    const char *name;
    QRgb colour;
};

// Every colour of the header by the name a style sheet gives it.
constexpr Named Names[] = {
    {"black", black},
    {"form", form},
    {"frame", frame},
    {"bar", bar},
    {"rule", rule},
    {"topRule", topRule},
    {"column", column},
    {"panel", panel},
    {"dialog", dialog},
    {"raised", raised},
    {"disabled", disabled},
    {"track", track},
    {"field", field},
    {"pressed", pressed},
    {"hover", hover},
    {"disabledText", disabledText},
    {"link", link},
    {"caption", caption},
    {"grey", grey},
    {"listText", listText},
    {"marker", marker},
    {"onAccent", onAccent},
    {"white", white},
    {"accent", accent},
    {"reached", reached},
    {"leg", leg},
    {"waiting", waiting},
    {"fault", fault},
    {"givenUpBar", givenUpBar},
    {"stop", stop},
    {"selection", selection},
    {"slow", slow},
    {"fast", fast},
};

QString expand(QLatin1String name)
{
    if (name == QLatin1String("font"))
        return QLatin1Char('\'') + QLatin1String(fontFamily) + QLatin1Char('\'');
    for (const Named &named : Names) {
        if (name == QLatin1String(named.name))
            return css(named.colour);
    }
    Q_ASSERT_X(false, "Palette::sheet", "a style sheet names a colour the palette lacks");
    return QLatin1Char('@') + name;
}

bool isNameChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

} // namespace

QFont font(int pointSize, int weight)
{
    QFont f;
    f.setFamily(QString::fromUtf8(fontFamily));
    if (pointSize > 0)
        f.setPointSize(pointSize);
    f.setBold(weight > QFont::Normal);
    f.setWeight(weight);
    return f;
}

QString sheet(const char *text)
{
    QString out;
    const char *p = text;
    while (const char *at = std::strchr(p, '@')) {
        out += QLatin1String(p, int(at - p));
        const char *end = at + 1;
        while (isNameChar(*end))
            ++end;
        out += expand(QLatin1String(at + 1, int(end - at - 1)));
        p = end;
    }
    return out + QLatin1String(p);
}

QString css(QRgb colour)
{
    return QColor(colour).name();
}

} // namespace Palette
