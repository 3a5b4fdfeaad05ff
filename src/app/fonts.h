#pragma once

// "宋体" and "黑体" do not exist on Linux; map them to the Noto CJK faces (Simplified Chinese
// glyphs) before any widget is built.
void installFontSubstitutions();
