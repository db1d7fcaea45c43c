#pragma once

// Compiles-in resource bundle and fonts, made available before any widget asks for them.
namespace AppResources {
// Registers the compiled-in resource bundle (safe to call more than once).
void initBundle();
// Registers the two bundled faces of the program's family with the font database; a desktop
// without the family installed would otherwise show every text in a fallback font. Needs a
// QGuiApplication. Returns true when both faces were registered.
bool registerFonts();
} // namespace AppResources
