// ContactSheet -- one picture of every generated image, so the art can be judged
// at a glance: each strip with its frame grid, its normal map beneath it.
#include "Output.h"
#include "Text.h"

#include <algorithm>

void MakeContactSheet(Output& out, const std::string& fontPath) {
    const Font font(fontPath);
    const int columnWidth = 800, gap = 10, label = 16;
    const int columns = 2;
    // Pack entries top to bottom into the shortest column.
    std::vector<int> heights(columns, gap);
    struct Place {
        const Output::Sheet* sheet;
        int x, y;
    };
    std::vector<Place> places;
    for (const Output::Sheet& sheet : out.Written()) {
        // Wide pictures are shown at half size so a strip fits its column.
        const int shrink = sheet.diffuse.width > columnWidth - 2 * gap ? 2 : 1;
        const int h = label + (sheet.diffuse.height / shrink + 4) * (sheet.normal.width ? 2 : 1);
        const int c =
            static_cast<int>(std::min_element(heights.begin(), heights.end()) - heights.begin());
        places.push_back({&sheet, gap + c * columnWidth, heights[c]});
        heights[c] += h + gap;
    }
    Image page(columns * columnWidth, *std::max_element(heights.begin(), heights.end()));
    page.Fill(RgbaOf(64, 62, 70));
    for (const Place& p : places) {
        const Output::Sheet& s = *p.sheet;
        const int shrink = s.diffuse.width > columnWidth - 2 * gap ? 2 : 1;
        font.Draw(page, p.x, p.y + 12,
                  s.file + "  (" + std::to_string(s.frames) + " x " +
                      std::to_string(s.diffuse.width / s.frames) + "x" +
                      std::to_string(s.diffuse.height) + ")",
                  13.0f, RgbaOf(235, 235, 240));
        auto paste = [&](const Image& img, int top) {
            Image small(img.width / shrink, img.height / shrink);
            for (int y = 0; y < small.height; ++y)
                for (int x = 0; x < small.width; ++x)
                    std::copy(img.At(x * shrink, y * shrink), img.At(x * shrink, y * shrink) + 4,
                              small.At(x, y));
            // A checker shows what is transparent.
            for (int y = 0; y < small.height; ++y)
                for (int x = 0; x < small.width; ++x)
                    page.Put(p.x + x, top + y,
                             ((x / 8 + y / 8) % 2) ? RgbaOf(96, 94, 104) : RgbaOf(84, 82, 92));
            page.BlendImage(small, p.x, top);
            // The frame grid.
            const int fw = small.width / std::max(1, s.frames);
            for (int f = 0; f <= s.frames; ++f)
                for (int y = -1; y <= small.height; ++y)
                    page.Put(p.x + f * fw - (f == s.frames ? 0 : 1), top + y, RgbaOf(250, 200, 60));
        };
        int top = p.y + label;
        paste(s.diffuse, top);
        if (s.normal.width) {
            top += s.diffuse.height / shrink + 4;
            paste(s.normal, top);
        }
    }
    WritePng(out.PathOf("../contact_sheet.png"), page);
}
