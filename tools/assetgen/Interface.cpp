// Interface -- menus, HUD, prompts, dialogue boxes, title, credits, splash
// logos, the noise bitmap and the window icon.
#include "Output.h"
#include "Text.h"

#include "core/PromptGlyphs.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <stb_image_write.h>

namespace {

const Rgba kGold = RgbaOf(214, 176, 96);
const Rgba kGoldDark = RgbaOf(120, 86, 40);
const Rgba kInk = RgbaOf(16, 14, 20);

// A panel: dark fill, a gold bevelled border.
void Panel(Image& img, int x0, int y0, int x1, int y1, const Rgba& fill) {
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const int e = std::min(std::min(x - x0, x1 - 1 - x), std::min(y - y0, y1 - 1 - y));
            Rgba c = fill;
            if (e == 0)
                c = kInk;
            else if (e == 1)
                c = (x - x0 < y1 - 1 - y) ? kGold : kGoldDark;
            img.Put(x, y, c);
        }
}

void PutLe16(std::vector<uint8_t>& b, uint32_t v) {
    b.push_back(v & 0xFF);
    b.push_back((v >> 8) & 0xFF);
}
void PutLe32(std::vector<uint8_t>& b, uint32_t v) {
    PutLe16(b, v & 0xFFFF);
    PutLe16(b, v >> 16);
}

bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream f(path, std::ios::binary);
    f.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(f);
}

// The blade emblem used by the icon and the title: a pale sword over a
// red ring.
void Emblem(Image& img, float cx, float cy, float r) {
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x) {
            const float dx = x + 0.5f - cx, dy = y + 0.5f - cy;
            const float d = std::sqrt(dx * dx + dy * dy);
            if (d <= r && d >= r * 0.72f)
                img.Blend(x, y, d > r * 0.9f ? kInk : RgbaOf(170, 36, 48));
            // The sword: diagonal from bottom-left to top-right.
            const float along = (dx - dy) * 0.7071f, across = (dx + dy) * 0.7071f;
            if (std::fabs(along) < r * 1.05f) {
                const float half =
                    along > -r * 0.55f
                        ? r * 0.09f * (1 - (along + r * 0.55f) / (r * 1.7f)) + r * 0.03f
                        : r * 0.07f;
                if (std::fabs(across) < half + r * 0.05f)
                    img.Blend(x, y, kInk);
                if (std::fabs(across) < half)
                    img.Blend(x, y,
                              along > -r * 0.55f ? RgbaOf(205, 246, 255) : RgbaOf(80, 60, 70));
                if (std::fabs(along + r * 0.55f) < r * 0.06f && std::fabs(across) < r * 0.3f)
                    img.Blend(x, y, kGold);
            }
        }
}

void MakeIcon(Output& out) {
    Image icon(32, 32);
    Emblem(icon, 16, 16, 15);
    // A PNG payload inside the icon directory.
    std::vector<uint8_t> png;
    stbi_write_png_to_func(
        [](void* ctx, void* data, int size) {
            auto* v = static_cast<std::vector<uint8_t>*>(ctx);
            v->insert(v->end(), static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
        },
        &png, 32, 32, 4, icon.rgba.data(), 32 * 4);
    std::vector<uint8_t> ico;
    PutLe16(ico, 0); // reserved
    PutLe16(ico, 1); // icon
    PutLe16(ico, 1); // one image
    ico.push_back(32);
    ico.push_back(32);
    ico.push_back(0); // no palette
    ico.push_back(0);
    PutLe16(ico, 1);  // planes
    PutLe16(ico, 32); // bits per pixel
    PutLe32(ico, static_cast<uint32_t>(png.size()));
    PutLe32(ico, 6 + 16);
    ico.insert(ico.end(), png.begin(), png.end());
    if (!WriteBytes(out.PathOf("title.ico"), ico))
        out.Fail("cannot write title.ico");
    // The same emblem, larger, for the desktop's menus once the game is
    // installed (share/icons/hicolor); the game itself never opens these.
    for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
        Image large(size, size);
        const float half = static_cast<float>(size) / 2.0f;
        Emblem(large, half, half, half * 15.0f / 16.0f);
        const std::string name = "icons/quorvane-" + std::to_string(size) + ".png";
        if (!WritePng(out.PathOf(name), large))
            out.Fail("cannot write " + name);
    }
}

// 256 x 256 24-bit BMP of smooth noise, the distortion pass's offsets.
void MakeNoise(Output& out) {
    const int size = 256;
    const uint32_t row = size * 3; // already a multiple of 4
    const uint32_t image = row * size;
    std::vector<uint8_t> bmp;
    bmp.push_back('B');
    bmp.push_back('M');
    PutLe32(bmp, 54 + image);
    PutLe32(bmp, 0);
    PutLe32(bmp, 54);
    PutLe32(bmp, 40);
    PutLe32(bmp, size);
    PutLe32(bmp, size);
    PutLe16(bmp, 1);
    PutLe16(bmp, 24);
    PutLe32(bmp, 0);     // uncompressed
    PutLe32(bmp, image); // image size filled in
    PutLe32(bmp, 2835);
    PutLe32(bmp, 2835);
    PutLe32(bmp, 0);
    PutLe32(bmp, 0);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            // Tileable: sample noise on a period that divides the image.
            auto wrapNoise = [&](float f, int seed) {
                const float period = size / f;
                const float u = x / f, v = y / f;
                const float a = ValueNoise(u, v, seed), b = ValueNoise(u - period, v, seed);
                const float c = ValueNoise(u, v - period, seed),
                            d = ValueNoise(u - period, v - period, seed);
                const float s = x / static_cast<float>(size), t = y / static_cast<float>(size);
                return (a * (1 - s) + b * s) * (1 - t) + (c * (1 - s) + d * s) * t;
            };
            const float r = 0.6f * wrapNoise(32, 1) + 0.4f * wrapNoise(8, 2);
            const float g = 0.6f * wrapNoise(32, 3) + 0.4f * wrapNoise(8, 4);
            const float b = 0.6f * wrapNoise(16, 5) + 0.4f * wrapNoise(4, 6);
            bmp.push_back(static_cast<uint8_t>(b * 255)); // stored blue, green, red
            bmp.push_back(static_cast<uint8_t>(g * 255));
            bmp.push_back(static_cast<uint8_t>(r * 255));
        }
    if (!WriteBytes(out.PathOf("noise.bmp"), bmp))
        out.Fail("cannot write noise.bmp");
}

// Lettering at `pixels` high, drawn crisp on a half-size grid then doubled,
// with a dark outline and a drop shadow.
Image Lettering(const Font& font, const std::string& text, float pixels, const Rgba& top,
                const Rgba& bottom, int width, int height) {
    Image half((width + 1) / 2, (height + 1) / 2);
    const int w = font.Measure(text, pixels / 2);
    Image ink(half.width, half.height);
    const int baseline = static_cast<int>(half.height * 0.5f + pixels * 0.17f);
    font.Draw(ink, (half.width - w) / 2, baseline, text, pixels / 2, RgbaOf(255, 255, 255), 0.45f);
    for (int y = 0; y < half.height; ++y)
        for (int x = 0; x < half.width; ++x) {
            bool near = false;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    const int sx = x - dx, sy = y - dy;
                    if (sx >= 0 && sy >= 0 && sx < ink.width && sy < ink.height &&
                        ink.At(sx, sy)[3] > 0)
                        near = true;
                }
            if (ink.At(x, y)[3] > 0) {
                const float t =
                    static_cast<float>(y - (baseline - pixels / 2 * 0.7f)) / (pixels / 2 * 0.75f);
                half.Put(x, y, Mix(top, bottom, std::min(1.0f, std::max(0.0f, t))));
            } else if (near)
                half.Put(x, y, kInk);
        }
    Image full(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            std::copy(half.At(x / 2, y / 2), half.At(x / 2, y / 2) + 4, full.At(x, y));
    return full;
}

void MakeTitle(Output& out, const Font& font) {
    Image title(357, 185);
    Image emblem(357, 185);
    Emblem(emblem, 178, 78, 70);
    // The emblem sits faintly behind the name.
    for (int y = 0; y < emblem.height; ++y)
        for (int x = 0; x < emblem.width; ++x)
            emblem.At(x, y)[3] = static_cast<uint8_t>(emblem.At(x, y)[3] * 0.45f);
    title.BlendImage(emblem, 0, 0);
    title.BlendImage(
        Lettering(font, "QUORVANE", 58, RgbaOf(236, 240, 255), RgbaOf(130, 170, 220), 357, 150), 0,
        10);
    Image sub = Lettering(font, "THE UNDERGROUND FORTRESS", 19, kGold, kGoldDark, 357, 30);
    title.BlendImage(sub, 0, 148);
    out.FlatImage("title.png", title);
}

void MakeCredits(Output& out, const Font& font) {
    Image img(512, 384);
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x) {
            const float v = 0.6f + 0.4f * ValueNoise(x * 0.02f, y * 0.02f, 9);
            img.Put(x, y, Scale(RgbaOf(26, 22, 34), v));
        }
    Panel(img, 24, 20, 488, 364, RgbaOf(20, 18, 28));
    struct Line {
        std::string text;
        float size;
        Rgba colour;
    };
    const Rgba plain = RgbaOf(220, 220, 230), dim = RgbaOf(150, 150, 170);
    const std::vector<Line> lines = {
        {"QUORVANE", 34, RgbaOf(230, 240, 255)},
        {"a top-down sword game", 13, dim},
        {"", 10, plain},
        {"Made by the Quorvane project", 15, kGold},
        {"Code, art, sound and music made by the project's own", 12, plain},
        {"generator: every picture and note is drawn from code.", 12, plain},
        {"", 8, plain},
        {"Built with", 15, kGold},
        {"SDL2, OpenGL, GLEW, OpenAL Soft, libsndfile,", 12, plain},
        {"tinyxml2, FreeType, stb, GoogleTest, CMake", 12, plain},
        {"", 8, plain},
        {"Font", 15, kGold},
        {"DejaVu Serif (fonts-dejavu-core), Bitstream Vera licence", 12, plain},
        {"with DejaVu changes in the public domain", 12, plain},
        {"", 8, plain},
        {"Menu music: J. S. Bach, \"Jesu, Joy of Man's Desiring\"", 12, plain},
        {"(public domain), arranged by the generator", 12, dim},
        {"", 8, plain},
        {"Thank you for playing", 14, kGold},
    };
    int y = 58;
    for (const Line& line : lines) {
        if (!line.text.empty()) {
            const int w = font.Measure(line.text, line.size);
            font.Draw(img, 256 - w / 2, y, line.text, line.size, line.colour);
        }
        y += static_cast<int>(line.size * 1.15f) + 2;
    }
    out.FlatImage("credits.png", img);
}

void MakeLogos(Output& out, const Font& font) {
    // First splash: the studio's name in red on black.
    Image first(610, 178);
    first.Fill(RgbaOf(8, 6, 10));
    Emblem(first, 89, 89, 62);
    first.BlendImage(
        Lettering(font, "BREVANT", 84, RgbaOf(240, 60, 60), RgbaOf(150, 20, 30), 440, 120), 160,
        10);
    Image tag = Lettering(font, "GAMES", 26, RgbaOf(230, 230, 230), RgbaOf(150, 150, 150), 440, 40);
    first.BlendImage(tag, 160, 122);
    out.FlatImage("Brevant_WEB_RED.png", first);
    // Second splash: an inverted badge whose ember glow flickers between frames.
    std::vector<Image> frames;
    for (int f = 0; f < 2; ++f) {
        Image img(210, 160);
        for (int y = 0; y < img.height; ++y)
            for (int x = 0; x < img.width; ++x) {
                const float dx = (x - 105) / 100.0f, dy = (y - 70) / 70.0f;
                const float d = std::sqrt(dx * dx + dy * dy);
                const float glow = std::max(0.0f, 1 - d) * (f == 0 ? 0.9f : 0.7f);
                img.Put(x, y, Mix(RgbaOf(236, 232, 226), RgbaOf(255, 170, 80), glow * 0.6f));
            }
        // An anvil-like mark.
        for (int y = 40; y < 96; ++y)
            for (int x = 40; x < 170; ++x) {
                const bool top = y < 58 && x > 50 && x < 165 - (58 - y);
                const bool waist = y >= 58 && y < 80 && x > 85 && x < 125;
                const bool foot = y >= 80 && x > 65 && x < 145;
                if (top || waist || foot)
                    img.Put(x, y, RgbaOf(30, 26, 30));
            }
        const int w = font.Measure("FERROW", 30);
        font.Draw(img, 105 - w / 2, 138, "FERROW", 30, RgbaOf(30, 26, 30), 0.45f);
        frames.push_back(img);
    }
    out.FlatImage("FerrowInverted.png", JoinStrip(frames));
}

void MakeWidgets(Output& out, const Font& font) {
    { // Cursor: a small gold-edged arrow with its tip at the top-left.
        Image img(24, 24);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x <= y * 0.6f && x < 14; ++x) {
                const bool edge = x == 0 || x >= static_cast<int>(y * 0.6f) - 0 || y == 19;
                img.Put(x + 1, y + 1, edge ? kInk : (x + y < 10 ? RgbaOf(250, 240, 210) : kGold));
            }
        out.FlatImage("cursor.png", img);
    }
    { // Window frame: a gold pipe 3 high with a lit upper edge.
        Image pipe(8, 3);
        for (int x = 0; x < 8; ++x) {
            pipe.Put(x, 0, RgbaOf(250, 220, 150));
            pipe.Put(x, 1, kGold);
            pipe.Put(x, 2, kGoldDark);
        }
        out.FlatImage("frame_pipe.png", pipe);
        // Corner: a rivet-studded bracket in the top-left (the others mirror it).
        Image corner(16, 16);
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const int d = std::min(x, y);
                if (x + y > 22 || d > 6)
                    continue;
                corner.Put(x, y, d == 0 ? kInk : d < 3 ? kGold : kGoldDark);
            }
        for (int y = 4; y < 8; ++y)
            for (int x = 4; x < 8; ++x)
                corner.Put(x, y, (x + y < 10) ? RgbaOf(255, 240, 200) : RgbaOf(170, 40, 50));
        out.FlatImage("frame_corner.png", corner);
    }
    {
        Image bar(4, 4);
        bar.Fill(RgbaOf(255, 255, 255));
        out.FlatImage("bar_color.png", bar);
    }
    { // HUD frame: a plate with two bar slots (health above, special below)
        // and a round gem at the left.
        Image img(120, 33);
        Panel(img, 0, 0, 120, 33, RgbaOf(30, 28, 38, 0.85f));
        for (int slot = 0; slot < 2; ++slot) {
            const int y0 = 7 + slot * 12;
            for (int y = y0; y < y0 + 8; ++y)
                for (int x = 30; x < 114; ++x)
                    img.Put(x, y,
                            (y == y0 || y == y0 + 7 || x == 30 || x == 113) ? kGoldDark
                                                                            : RgbaOf(0, 0, 0, 0));
        }
        for (int y = 0; y < 33; ++y)
            for (int x = 0; x < 30; ++x) {
                const float d = std::hypot(x - 15.5f, y - 16.5f);
                if (d < 11)
                    img.Put(x, y,
                            d > 9.5f ? kInk
                            : d > 8  ? kGold
                                     : Mix(RgbaOf(200, 60, 70), RgbaOf(70, 110, 230), y / 33.0f));
            }
        out.FlatImage("ui_playerhud_frame.png", img);
    }
    { // Interaction prompt: a rounded box, a mouse with its left button lit,
        // the keyboard's E key and the pad's X button.
        Image box(32, 32);
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) {
                const float dx = std::max(0.0f, std::fabs(x + 0.5f - 16) - 11);
                const float dy = std::max(0.0f, std::fabs(y + 0.5f - 16) - 11);
                const float d = std::sqrt(dx * dx + dy * dy);
                if (d < 5)
                    box.Put(x, y, d > 4 ? kInk : d > 3 ? kGold : RgbaOf(24, 22, 32, 0.9f));
            }
        out.FlatImage("popup_box.png", box);
        // The mouse with its left or right button lit.
        for (const bool left : {true, false}) {
            Image mouse(16, 16);
            for (int y = 1; y < 15; ++y)
                for (int x = 3; x < 13; ++x) {
                    const float dx = (x + 0.5f - 8) / 5, dy = (y + 0.5f - 8) / 7;
                    const float d = dx * dx + dy * dy;
                    if (d > 1)
                        continue;
                    Rgba c = RgbaOf(230, 230, 235);
                    if (d > 0.7f)
                        c = kInk;
                    else if (y < 7 && (left ? x < 8 : x > 8))
                        c = RgbaOf(255, 200, 60); // the button to press
                    else if (y == 7 || x == 8)
                        c = kInk;
                    mouse.Put(x, y, c);
                }
            out.FlatImage(left ? "popup_left_click.png" : "popup_right_click.png", mouse);
        }
        // A key cap seen from above: a lighter top face over a darker rim,
        // lettered with the key the player bound (or plain).
        const auto cap = [&font](const std::string& text) {
            Image key(16, 16);
            for (int y = 1; y < 15; ++y)
                for (int x = 1; x < 15; ++x) {
                    const bool edge = x == 1 || x == 14 || y == 1 || y == 14;
                    const bool corner = (x == 1 || x == 14) && (y == 1 || y == 14);
                    if (corner)
                        continue;
                    key.Put(x, y,
                            edge      ? kInk
                            : y >= 12 ? RgbaOf(150, 150, 160)
                                      : RgbaOf(230, 230, 235));
                }
            // One letter in the middle; two or three smaller, to fit.
            const float pixels = text.size() <= 1 ? 11.0f : text.size() == 2 ? 8.0f : 6.5f;
            const int left = text.size() <= 1 ? 4 : text.size() == 2 ? 3 : 2;
            if (!text.empty())
                font.Draw(key, left, 11, text, pixels, RgbaOf(30, 30, 40), 0.4f);
            return key;
        };
        out.FlatImage(kPlainKeyCap, cap(""));
        for (const KeyCap& k : KeyCaps())
            out.FlatImage(k.file, cap(k.text));
        Image pad(16, 16);
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const float d = std::hypot(x + 0.5f - 8, y + 0.5f - 8);
                if (d < 7.5f)
                    pad.Put(x, y, d > 6.5f ? kInk : RgbaOf(50, 100, 220));
            }
        font.Draw(pad, 4, 12, "X", 11, RgbaOf(255, 255, 255), 0.4f);
        out.FlatImage("popup_joy_x.png", pad);
    }
    { // Dialogue box: a parchment-dark panel in three stretchable parts.
        const Rgba fill = RgbaOf(22, 20, 30, 0.88f);
        Image top(160, 14), mid(160, 16), bottom(160, 14);
        for (int y = 0; y < 14; ++y)
            for (int x = 0; x < 160; ++x) {
                const int e = std::min(x, 159 - x);
                auto piece = [&](int edgeY) {
                    const int d = std::min(e, edgeY);
                    return d == 0 ? kInk : d == 1 ? kGold : d == 2 ? kGoldDark : fill;
                };
                top.Put(x, y, piece(y));
                bottom.Put(x, y, piece(13 - y));
            }
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 160; ++x) {
                const int e = std::min(x, 159 - x);
                mid.Put(x, y, e == 0 ? kInk : e == 1 ? kGold : e == 2 ? kGoldDark : fill);
            }
        // A small speech tail on the bottom piece, towards the speaker: the
        // pieces as drawn stand left of the right-hand speaker (and are
        // mirrored for the left-hand one), so the tail sits at the right.
        for (int y = 9; y < 14; ++y)
            for (int x = 147 - (14 - y) * 2; x < 147; ++x)
                bottom.Put(x, y, kGold);
        out.FlatImage("dialoguebox_top.png", top);
        out.FlatImage("dialoguebox_center.png", mid);
        out.FlatImage("dialoguebox_bottom.png", bottom);
    }
}

} // namespace

void MakeInterface(Output& out, const std::string& fontPath) {
    const Font font(fontPath);
    if (!font.Ok())
        out.Fail("cannot read the font " + fontPath);
    MakeIcon(out);
    MakeNoise(out);
    MakeTitle(out, font);
    MakeCredits(out, font);
    MakeLogos(out, font);
    MakeWidgets(out, font);
}
