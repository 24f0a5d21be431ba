// Fonts and text: pango lays out one character at a time (the old text
// output placed characters by their advance widths, without kerning), each
// glyph is rendered once per font without antialiasing and kept as runs of
// pixels, and text is drawn by painting those runs in the text colour.
#include <pango/pangocairo.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <mutex>
#include <tuple>

#include "platform/gfx/CanvasImpl.h"
#include "platform/gfx/Shapes.h"
#include "platform/rtl/Strings.h"

namespace {

struct TGlyph {
    bool Ready = false;
    int Advance = 0;            // pixels along the baseline
    int OffX = 0, OffY = 0;     // mask origin relative to the pen position on the baseline
    std::vector<int32_t> Runs;  // triples: row, left, right (relative to the mask origin)
    // The box of the pixels set, relative to the pen position on the baseline
    // (empty for a glyph without any).
    TRect Ink;
};

PangoContext* Context() {
    static PangoContext* ctx = [] {
        PangoFontMap* map = pango_cairo_font_map_new();
        PangoContext* c = pango_font_map_create_context(map);
        g_object_unref(map);
        cairo_font_options_t* o = cairo_font_options_create();
        // Hinted outlines without antialiasing: every text pixel is either
        // on or off, and the same font files give the same pixels anywhere.
        cairo_font_options_set_antialias(o, CAIRO_ANTIALIAS_NONE);
        cairo_font_options_set_hint_style(o, CAIRO_HINT_STYLE_FULL);
        cairo_font_options_set_hint_metrics(o, CAIRO_HINT_METRICS_ON);
        pango_cairo_context_set_font_options(c, o);
        cairo_font_options_destroy(o);
        pango_cairo_context_set_resolution(c, 96);
        return c;
    }();
    return ctx;
}

struct TSubstitute {
    const char* Name;
    const char* Face;
};
constexpr std::array<TSubstitute, 12> Substitutes = {{
    {"arial", "Liberation Sans"},
    {"ms sans serif", "Liberation Sans"},
    {"microsoft sans serif", "Liberation Sans"},
    {"ms shell dlg", "Liberation Sans"},
    {"tahoma", "Liberation Sans"},
    {"helvetica", "Liberation Sans"},
    {"times new roman", "Liberation Serif"},
    {"ms serif", "Liberation Serif"},
    {"courier new", "Liberation Mono"},
    {"courier", "Liberation Mono"},
    {"terminal", "DejaVu Sans Mono"},
    {"fixedsys", "DejaVu Sans Mono"},
}};

}  // namespace

AnsiString SubstituteFontName(std::string_view Name) {
    AnsiString lower = LowerCase(Trim(Name));
    for (const auto& s : Substitutes)
        if (lower == s.Name) return s.Face;
    return AnsiString(Name);
}

std::vector<AnsiString> InstalledFontNames() {
    static const std::vector<AnsiString> Names = [] {
        std::vector<AnsiString> R = {"Arial", "Courier New", "MS Sans Serif", "Terminal", "Times New Roman"};
        PangoFontFamily** Families = nullptr;
        int Count = 0;
        pango_font_map_list_families(pango_context_get_font_map(Context()), &Families, &Count);
        for (int I = 0; I < Count; ++I) R.push_back(FromUtf8(pango_font_family_get_name(Families[I])));
        g_free(Families);
        std::sort(R.begin(), R.end(),
                  [](const AnsiString& A, const AnsiString& B) { return CompareText(A, B) < 0; });
        R.erase(std::unique(R.begin(), R.end(),
                            [](const AnsiString& A, const AnsiString& B) { return SameText(A, B); }),
                R.end());
        return R;
    }();
    return Names;
}

bool IsFontInstalled(std::string_view Name) {
    const AnsiString Wanted = Trim(Name);
    for (const AnsiString& N : InstalledFontNames())
        if (AnsiSameText(N, Wanted)) return true;
    return false;
}

// Menus draw in the face and size every new font starts with (8 points of MS Sans Serif).
void GetMenuFont(TFont& Font) {
    TFont menu;
    Font.Assign(&menu);
}

void GetSystemFont(TFont& Font) {
    TFont system;
    system.SetName("MS Sans Serif");
    system.SetHeight(16);
    system.SetStyle({fsBold});
    Font.Assign(&system);
}

struct TFontResource {
    PangoFontDescription* Desc = nullptr;
    int Escapement = 0;  // tenths of a degree
    bool Underline = false, StrikeOut = false;
    TTextMetric Metrics;
    int UnderlinePos = 0, UnderlineThickness = 1, StrikePos = 0;  // pixels below (positive) the baseline
    mutable std::array<TGlyph, 256> Glyphs;
    mutable bool WidthsDone = false;

    ~TFontResource() {
        if (Desc) pango_font_description_free(Desc);
    }
    const TGlyph& Glyph(unsigned char C) const;
    void FinishMetrics() const;
};

namespace {

PangoLayout* NewLayout(const TFontResource& R, std::string_view Utf8) {
    PangoLayout* l = pango_layout_new(Context());
    pango_layout_set_font_description(l, R.Desc);
    pango_layout_set_text(l, Utf8.data(), int(Utf8.size()));
    return l;
}

std::string CharUtf8(unsigned char C) {
    // Control characters draw nothing; the font's space stands in for their width.
    if (C < 32) return {};
    return ToUtf8(std::string_view(reinterpret_cast<const char*>(&C), 1));
}

}  // namespace

const TGlyph& TFontResource::Glyph(unsigned char C) const {
    TGlyph& g = Glyphs[C];
    if (g.Ready) return g;
    g.Ready = true;
    std::string u = CharUtf8(C);
    if (u.empty()) return g;
    PangoLayout* l = NewLayout(*this, u);
    PangoLayoutLine* line = pango_layout_get_line_readonly(l, 0);
    PangoRectangle ink, logical;
    pango_layout_line_get_extents(line, &ink, &logical);
    g.Advance = PANGO_PIXELS(logical.width);
    if (ink.width > 0 && ink.height > 0) {
        double a = Escapement * M_PI / 1800.0, ca = std::cos(a), sa = std::sin(a);
        // The ink box turned with the text: screen y runs down, so a turn
        // counter-clockwise on the screen maps (x, y) to (x ca + y sa, -x sa + y ca).
        double xs[2] = {ink.x / double(PANGO_SCALE), (ink.x + ink.width) / double(PANGO_SCALE)};
        double ys[2] = {ink.y / double(PANGO_SCALE), (ink.y + ink.height) / double(PANGO_SCALE)};
        double minx = 1e9, miny = 1e9, maxx = -1e9, maxy = -1e9;
        for (double x : xs)
            for (double y : ys) {
                double rx = x * ca + y * sa, ry = -x * sa + y * ca;
                minx = std::min(minx, rx);
                maxx = std::max(maxx, rx);
                miny = std::min(miny, ry);
                maxy = std::max(maxy, ry);
            }
        int bx = int(std::floor(minx)) - 1, by = int(std::floor(miny)) - 1;
        int bw = int(std::ceil(maxx)) + 1 - bx, bh = int(std::ceil(maxy)) + 1 - by;
        cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_A8, bw, bh);
        cairo_t* cr = cairo_create(s);
        cairo_translate(cr, -bx, -by);
        cairo_rotate(cr, -a);
        cairo_move_to(cr, 0, 0);
        pango_cairo_show_layout_line(cr, line);
        cairo_destroy(cr);
        cairo_surface_flush(s);
        const uint8_t* data = cairo_image_surface_get_data(s);
        int stride = cairo_image_surface_get_stride(s);
        for (int y = 0; y < bh; ++y) {
            const uint8_t* row = data + size_t(y) * size_t(stride);
            int start = -1;
            for (int x = 0; x <= bw; ++x) {
                bool on = x < bw && row[x] >= 128;
                if (on && start < 0) start = x;
                if (!on && start >= 0) {
                    g.Runs.insert(g.Runs.end(), {y, start, x});
                    start = -1;
                }
            }
        }
        cairo_surface_destroy(s);
        g.OffX = bx;
        g.OffY = by;
        for (size_t k = 0; k + 2 < g.Runs.size(); k += 3) {
            const TRect Run(bx + g.Runs[k + 1], by + g.Runs[k], bx + g.Runs[k + 2], by + g.Runs[k] + 1);
            if (IsRectEmpty(g.Ink)) g.Ink = Run;
            else UnionRect(g.Ink, g.Ink, Run);
        }
    }
    g_object_unref(l);
    return g;
}

void TFontResource::FinishMetrics() const {
    if (WidthsDone) return;
    WidthsDone = true;
    auto& m = const_cast<TTextMetric&>(Metrics);
    // The average character width by the classic weighting of the lower-case
    // letters and the space, as font files of that era state it.
    static constexpr int Weights[27] = {64, 14, 27, 35, 100, 20, 14, 42, 63, 3, 6,  35, 20, 56,
                                        56, 17, 4,  49, 56,  71, 31, 10, 18, 3, 18, 2,  166};
    int sum = 0;
    for (int i = 0; i < 26; ++i) sum += Weights[i] * Glyph(uint8_t('a' + i)).Advance;
    sum += Weights[26] * Glyph(' ').Advance;
    m.tmAveCharWidth = (sum + 500) / 1000;
    int maxw = 0, minw = 1 << 20;
    for (int c = 32; c < 256; ++c) {
        if (c == 127 || c == 129 || c == 141 || c == 143 || c == 144 || c == 157) continue;
        int a = Glyph(uint8_t(c)).Advance;
        maxw = std::max(maxw, a);
        if (c >= 'A' && c <= 'z') minw = std::min(minw, a);
    }
    m.tmMaxCharWidth = maxw;
    bool fixed = minw == maxw;
    m.tmPitchAndFamily = uint8_t((fixed ? 0 : TMPF_FIXED_PITCH) | TMPF_VECTOR | TMPF_TRUETYPE);
}

namespace {

using TFontKey = std::tuple<std::string, int, bool, bool, bool, bool, int, int>;

std::shared_ptr<const TFontResource> MakeResource(const TFont& Font) {
    AnsiString face = SubstituteFontName(Font.Name());
    bool knownFace = LowerCase(face) != LowerCase(Trim(Font.Name()));
    if (!knownFace && Font.Pitch() == fpFixed) face = "Liberation Mono";
    TFontStyles st = Font.Style();
    int height = Font.Height();
    if (height == 0) height = -MulDiv(8, Font.PixelsPerInch(), 72);
    TFontKey key{face,
                 height,
                 st.Contains(fsBold),
                 st.Contains(fsItalic),
                 st.Contains(fsUnderline),
                 st.Contains(fsStrikeOut),
                 Font.Orientation(),
                 Font.Charset()};
    static std::map<TFontKey, std::shared_ptr<const TFontResource>> cache;
    auto it = cache.find(key);
    if (it != cache.end()) return it->second;

    auto r = std::make_shared<TFontResource>();
    r->Desc = pango_font_description_new();
    std::string family = ToUtf8(face);
    pango_font_description_set_family(r->Desc, family.c_str());
    pango_font_description_set_weight(r->Desc, st.Contains(fsBold) ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
    pango_font_description_set_style(r->Desc,
                                     st.Contains(fsItalic) ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
    r->Escapement = Font.Orientation() % 3600;
    r->Underline = st.Contains(fsUnderline);
    r->StrikeOut = st.Contains(fsStrikeOut);
    auto metricsAt = [&](int em, int& ascent, int& descent) {
        pango_font_description_set_absolute_size(r->Desc, double(em) * PANGO_SCALE);
        PangoFontMetrics* fm = pango_context_get_metrics(Context(), r->Desc, nullptr);
        ascent = PANGO_PIXELS_CEIL(pango_font_metrics_get_ascent(fm));
        descent = PANGO_PIXELS_CEIL(pango_font_metrics_get_descent(fm));
        r->UnderlinePos = std::max(1, PANGO_PIXELS(-pango_font_metrics_get_underline_position(fm)));
        r->UnderlineThickness = std::max(1, PANGO_PIXELS(pango_font_metrics_get_underline_thickness(fm)));
        r->StrikePos = -std::max(1, PANGO_PIXELS(pango_font_metrics_get_strikethrough_position(fm)));
        pango_font_metrics_unref(fm);
    };
    int em = std::abs(height), ascent = 0, descent = 0;
    metricsAt(em, ascent, descent);
    if (height > 0 && ascent + descent > 0) {
        // A positive height is the cell height: find the character size that fills it.
        em = std::max(1, int(std::lround(double(em) * em / (ascent + descent))));
        metricsAt(em, ascent, descent);
        while (ascent + descent > height && em > 1) metricsAt(--em, ascent, descent);
    }
    TTextMetric& m = r->Metrics;
    m.tmAscent = ascent;
    m.tmDescent = descent;
    m.tmHeight = ascent + descent;
    m.tmInternalLeading = std::max(0, m.tmHeight - em);
    m.tmExternalLeading = 0;
    m.tmWeight = st.Contains(fsBold) ? FW_BOLD : FW_NORMAL;
    m.tmItalic = st.Contains(fsItalic);
    m.tmUnderlined = r->Underline;
    m.tmStruckOut = r->StrikeOut;
    m.tmCharSet = Font.Charset() == DEFAULT_CHARSET ? uint8_t(ANSI_CHARSET) : Font.Charset();
    cache.emplace(key, r);
    return r;
}

// Advance of each character of a text, with the extra spacing.
int RunWidth(const TFontResource& R, std::string_view Text, int Extra) {
    int w = 0;
    for (unsigned char c : Text) w += R.Glyph(c).Advance + Extra;
    return w;
}

}  // namespace

const TFontResource& TFont::Resource() const {
    if (!FResource) FResource = MakeResource(*this);
    return *FResource;
}

// --- drawing ---
void TCanvasImpl::Text(int X, int Y, uint32_t Options, const TRect* R, std::string_view Str,
                       std::span<const int> Dx) {
    if (!Surface) return;
    Select();
    const TFontResource& font = State.Font->Resource();
    const TTextMetric& tm = font.Metrics;
    uint32_t align = State.TextAlign;
    TPoint ref = (align & TA_UPDATECP) ? State.PenPos : TPoint{X, Y};
    // Advances in device pixels.
    std::vector<int> adv(Str.size());
    int width = 0;
    for (size_t i = 0; i < Str.size(); ++i) {
        adv[i] = i < Dx.size() ? ScaleX(Dx[i]) : font.Glyph(uint8_t(Str[i])).Advance + State.CharExtra;
        width += adv[i];
    }
    if (align & TA_UPDATECP) {
        int logicalWidth = 0;
        for (size_t i = 0; i < Str.size(); ++i)
            logicalWidth += i < Dx.size() ? Dx[i] : font.Glyph(uint8_t(Str[i])).Advance + State.CharExtra;
        State.PenPos.x += (align & TA_CENTER) == TA_RIGHT    ? -logicalWidth
                          : (align & TA_CENTER) == TA_CENTER ? 0
                                                             : logicalWidth;
    }
    TPoint d = ToDevice(ref);
    double a = font.Escapement * M_PI / 1800.0, ca = std::cos(a), sa = std::sin(a);
    // The start of the baseline in device pixels, by the alignment (a mirrored
    // mapping reads left for right).
    uint32_t h = align & TA_CENTER;
    if (Mirrored()) h = h == TA_RIGHT ? TA_LEFT : h == TA_LEFT ? TA_RIGHT : h;
    double along = h == TA_CENTER ? -width / 2.0 : h == TA_RIGHT ? -width : 0.0;
    double down = (align & TA_BASELINE) == TA_BASELINE ? 0.0
                  : (align & TA_BOTTOM)                ? -tm.tmDescent
                                                       : tm.tmAscent;
    double bx = d.x + along * ca + down * sa, by = d.y - along * sa + down * ca;

    Changing();
    std::optional<TRegion> savedClip;
    TRect devRect;
    if (R) devRect = NormalizedRect(TRect(ToDevice(R->TopLeft()), ToDevice(R->BottomRight())));
    if (R && (Options & ETO_OPAQUE)) {
        TBrushPaint bk;
        bk.K = TBrushPaint::Solid;
        bk.Color = ToPixel(State.BkColor);
        RectBrush(devRect, bk, R2_COPYPEN);
    }
    if (R && (Options & ETO_CLIPPED)) {
        savedClip = State.Clip;
        TRegion current = State.Clip ? *State.Clip : TRegion(devRect);
        State.Clip = TRegion::Combine(current, TRegion(devRect), RGN_AND);
        InvalidateClip();
    }
    if (PathOpen) {
        // Outlines for the path: each character's outline at its pen position.
        cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_A8, 1, 1);
        cairo_t* cr = cairo_create(s);
        double pos = 0;
        for (size_t i = 0; i < Str.size(); ++i) {
            std::string u = CharUtf8(uint8_t(Str[i]));
            if (!u.empty()) {
                PangoLayout* l = NewLayout(font, u);
                cairo_save(cr);
                // Outlines are sampled at pixel centres by the path fill.
                cairo_translate(cr, bx + pos * ca - 0.5, by - pos * sa - 0.5);
                cairo_rotate(cr, -a);
                cairo_move_to(cr, 0, 0);
                pango_cairo_layout_line_path(cr, pango_layout_get_line_readonly(l, 0));
                cairo_restore(cr);
                g_object_unref(l);
            }
            pos += adv[i];
        }
        cairo_path_t* path = cairo_copy_path_flat(cr);
        for (int i = 0; i < path->num_data; i += path->data[i].header.length) {
            const cairo_path_data_t& e = path->data[i];
            if (e.header.type == CAIRO_PATH_MOVE_TO)
                Path.push_back({{{path->data[i + 1].point.x, path->data[i + 1].point.y}}, false});
            else if (e.header.type == CAIRO_PATH_LINE_TO && !Path.empty())
                Path.back().Points.push_back({path->data[i + 1].point.x, path->data[i + 1].point.y});
            else if (e.header.type == CAIRO_PATH_CLOSE_PATH && !Path.empty()) Path.back().Closed = true;
        }
        cairo_path_destroy(path);
        cairo_destroy(cr);
        cairo_surface_destroy(s);
    } else {
        if (State.BkMode == OPAQUE && !(R && (Options & ETO_OPAQUE)) && font.Escapement == 0 && width > 0) {
            TBrushPaint bk;
            bk.K = TBrushPaint::Solid;
            bk.Color = ToPixel(State.BkColor);
            int top = int(std::lround(by)) - tm.tmAscent, left = int(std::lround(bx));
            RectBrush({left, top, left + width, top + tm.tmHeight}, bk, R2_COPYPEN);
        }
        uint32_t color = ToPixel(State.TextColor);
        if (TextLayer) {
            KeepRun(font, bx, by, width, Str, adv);
        } else {
            // A clip of one rectangle on a 32-bit surface takes a glyph whose
            // pixels all fall inside it straight into the rows, without
            // clipping each run.
            TRect whole;
            const auto& bands = Effective().Bands();
            const bool direct = bands.size() == 1 && bands[0].Xs.size() == 2 &&
                                Surface->Format() == TSurfaceFormat::Xrgb32 && !Surface->Monochrome();
            if (direct) whole = TRect(bands[0].Xs[0], bands[0].Top, bands[0].Xs[1], bands[0].Bottom);
            double pos = 0;
            for (size_t i = 0; i < Str.size(); ++i) {
                const TGlyph& g = font.Glyph(uint8_t(Str[i]));
                int ox = int(std::lround(bx + pos * ca)) + g.OffX,
                    oy = int(std::lround(by - pos * sa)) + g.OffY;
                TRect ink = g.Ink;
                OffsetRect(ink, ox - g.OffX + DeviceOrigin.x, oy - g.OffY + DeviceOrigin.y);
                if (direct && (IsRectEmpty(ink) || (ink.Left >= whole.Left && ink.Right <= whole.Right &&
                                                    ink.Top >= whole.Top && ink.Bottom <= whole.Bottom))) {
                    for (size_t k = 0; k + 2 < g.Runs.size(); k += 3) {
                        auto* row =
                            reinterpret_cast<uint32_t*>(Surface->ScanLine(oy + g.Runs[k] + DeviceOrigin.y));
                        const int x0 = ox + DeviceOrigin.x;
                        std::fill(row + x0 + g.Runs[k + 1], row + x0 + g.Runs[k + 2], color);
                    }
                } else {
                    for (size_t k = 0; k + 2 < g.Runs.size(); k += 3)
                        SpanRop2(oy + g.Runs[k], ox + g.Runs[k + 1], ox + g.Runs[k + 2], color, R2_COPYPEN);
                }
                pos += adv[i];
            }
        }
        auto line = [&](int offset) {
            // Lines under or through the text, along the baseline.
            for (int t = 0; t < font.UnderlineThickness; ++t)
                for (int p = 0; p < width; ++p) {
                    double dd = offset + t;
                    PixelRop2(int(std::lround(bx + p * ca + dd * sa)),
                              int(std::lround(by - p * sa + dd * ca)), color, R2_COPYPEN);
                }
        };
        if (font.Underline) line(font.UnderlinePos);
        if (font.StrikeOut) line(font.StrikePos);
    }
    if (savedClip || (R && (Options & ETO_CLIPPED))) {
        State.Clip = savedClip;
        InvalidateClip();
    }
    Changed();
}

void TCanvasImpl::KeepRun(const TFontResource& Font, double X, double Y, int Width, std::string_view Str,
                          const std::vector<int>& Advances) {
    if (Str.empty()) return;
    TDeviceTextRun run;
    run.Font = &Font;
    run.X = X + DeviceOrigin.x;
    run.Y = Y + DeviceOrigin.y;
    run.Text = Str;
    run.Advances = Advances;
    run.Color = State.TextColor;
    // The box the characters may reach, turned with them; a run wholly
    // inside the clip needs none, one wholly outside is dropped.
    const TTextMetric& tm = Font.Metrics;
    double a = Font.Escapement * M_PI / 1800.0, ca = std::cos(a), sa = std::sin(a);
    double minx = 1e9, miny = 1e9, maxx = -1e9, maxy = -1e9;
    for (double along : {0.0, double(Width)})
        for (double down : {double(-tm.tmAscent), double(tm.tmDescent)}) {
            double px = run.X + along * ca + down * sa, py = run.Y - along * sa + down * ca;
            minx = std::min(minx, px);
            maxx = std::max(maxx, px);
            miny = std::min(miny, py);
            maxy = std::max(maxy, py);
        }
    TRect box{int(std::floor(minx)) - 1, int(std::floor(miny)) - 1, int(std::ceil(maxx)) + 1,
              int(std::ceil(maxy)) + 1};
    const TRegion& visible = Effective();
    if (!visible.Intersects(box)) return;
    if (!(visible.Intersected(box) == TRegion(box))) run.Clip = visible;
    TextLayer->push_back(std::move(run));
}

void ShowTextRuns(cairo_t* Cr, const TTextLayer& Runs) {
    if (Runs.empty()) return;
    PangoContext* context = pango_cairo_create_context(Cr);
    cairo_font_options_t* o = cairo_font_options_create();
    // Outlines as drawn: the advances come from the runs, not from hinting.
    cairo_font_options_set_hint_metrics(o, CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_hint_style(o, CAIRO_HINT_STYLE_NONE);
    pango_cairo_context_set_font_options(context, o);
    cairo_font_options_destroy(o);
    PangoAttrList* attrs = pango_attr_list_new();
    // One glyph per character, as the raster places them: no ligatures, no kerning.
    pango_attr_list_insert(attrs, pango_attr_font_features_new("liga 0, clig 0, kern 0"));
    for (const TDeviceTextRun& run : Runs) {
        std::string utf8;
        std::vector<size_t> starts;  // the byte where each character begins
        for (unsigned char c : run.Text) {
            starts.push_back(utf8.size());
            std::string u = CharUtf8(c);
            utf8 += u.empty() ? std::string(" ") : u;
        }
        PangoLayout* l = pango_layout_new(context);
        pango_layout_set_font_description(l, run.Font->Desc);
        pango_layout_set_attributes(l, attrs);
        pango_layout_set_text(l, utf8.data(), int(utf8.size()));
        PangoLayoutLine* line = pango_layout_get_line(l, 0);
        // Each cluster advances by its characters' raster advances.
        auto charAt = [&](size_t Byte) {
            return size_t(std::upper_bound(starts.begin(), starts.end(), Byte) - starts.begin()) - 1;
        };
        for (GSList* r = line ? line->runs : nullptr; r; r = r->next) {
            auto* item = static_cast<PangoGlyphItem*>(r->data);
            PangoGlyphString* gs = item->glyphs;
            for (int i = 0; i < gs->num_glyphs; ++i) {
                size_t from = size_t(item->item->offset + gs->log_clusters[i]);
                bool first = i == 0 || gs->log_clusters[i - 1] != gs->log_clusters[i];
                int width = 0;
                if (first) {
                    int j = i + 1;
                    while (j < gs->num_glyphs && gs->log_clusters[j] == gs->log_clusters[i]) ++j;
                    size_t to = j < gs->num_glyphs ? size_t(item->item->offset + gs->log_clusters[j])
                                                   : size_t(item->item->offset + item->item->length);
                    for (size_t k = charAt(from); k < starts.size() && starts[k] < to; ++k)
                        width += run.Advances[k];
                }
                gs->glyphs[i].geometry.width = width * PANGO_SCALE;
            }
        }
        cairo_save(Cr);
        if (run.Clip) {
            for (const TRect& c : run.Clip->Rects())
                cairo_rectangle(Cr, c.Left, c.Top, c.Width(), c.Height());
            cairo_clip(Cr);
        }
        cairo_set_source_rgb(Cr, (run.Color & 0xFF) / 255.0, ((run.Color >> 8) & 0xFF) / 255.0,
                             ((run.Color >> 16) & 0xFF) / 255.0);
        cairo_translate(Cr, run.X, run.Y);
        cairo_rotate(Cr, -run.Font->Escapement * M_PI / 1800.0);
        cairo_move_to(Cr, 0, 0);
        if (line) pango_cairo_show_layout_line(Cr, line);
        cairo_restore(Cr);
        g_object_unref(l);
    }
    pango_attr_list_unref(attrs);
    g_object_unref(context);
}

void TCanvas::TextOut(int X, int Y, std::string_view Text) {
    F->Text(X, Y, 0, nullptr, Text, {});
    if (!(F->State.TextAlign & TA_UPDATECP)) F->State.PenPos = {X + TextWidth(Text), Y};
}

void TCanvas::TextRect(const TRect& R, int X, int Y, std::string_view Text) {
    uint32_t options = ETO_CLIPPED | F->State.TextFlags;
    if (Brush()->Style() != bsClear) options |= ETO_OPAQUE;
    F->Text(X, Y, options, &R, Text, {});
}

bool TCanvas::ExtTextOut(int X, int Y, uint32_t Options, const TRect* R, std::string_view Text,
                         std::span<const int> Dx) {
    F->Text(X, Y, Options, R, Text, Dx);
    return true;
}

TSize TCanvas::TextExtent(std::string_view Text) const {
    const TFontResource& r = Font()->Resource();
    return {RunWidth(r, Text, F->State.CharExtra), r.Metrics.tmHeight};
}

bool TCanvas::GetTextMetrics(TTextMetric& Metrics) const {
    const TFontResource& r = Font()->Resource();
    r.FinishMetrics();
    Metrics = r.Metrics;
    return true;
}

namespace {
// Position of the next tab stop after X (relative to the tab origin).
int NextTab(int X, std::span<const int> Tabs, int DefaultTab) {
    if (Tabs.empty()) {
        if (DefaultTab <= 0) return X;
        return (X / DefaultTab + 1) * DefaultTab;
    }
    if (Tabs.size() == 1) {
        int step = std::abs(Tabs[0]);
        if (step <= 0) return X;
        return (X / step + 1) * step;
    }
    for (int t : Tabs)
        if (std::abs(t) > X) return std::abs(t);
    // Past the last stop, the stops repeat with the last one's distance.
    int last = std::abs(Tabs.back());
    return last > 0 ? (X / last + 1) * last : X;
}
}  // namespace

int32_t TCanvas::TabbedTextOut(int X, int Y, std::string_view Text, std::span<const int> TabStops,
                               int TabOrigin) {
    TTextMetric tm;
    GetTextMetrics(tm);
    int x = X;
    size_t start = 0;
    for (size_t i = 0; i <= Text.size(); ++i) {
        if (i == Text.size() || Text[i] == '\t') {
            std::string_view piece = Text.substr(start, i - start);
            uint32_t old = SetTextAlign(F->State.TextAlign & ~uint32_t(TA_UPDATECP | TA_CENTER));
            F->Text(x, Y, 0, nullptr, piece, {});
            SetTextAlign(old);
            x += TextWidth(piece);
            if (i < Text.size()) x = TabOrigin + NextTab(x - TabOrigin, TabStops, 8 * tm.tmAveCharWidth);
            start = i + 1;
        }
    }
    return int32_t((x - X) & 0xFFFF) | int32_t(uint32_t(tm.tmHeight) << 16);
}

uint32_t TCanvas::GetTabbedTextExtent(std::string_view Text, std::span<const int> TabStops) const {
    TTextMetric tm;
    GetTextMetrics(tm);
    int x = 0;
    size_t start = 0;
    for (size_t i = 0; i <= Text.size(); ++i) {
        if (i == Text.size() || Text[i] == '\t') {
            x += TextWidth(Text.substr(start, i - start));
            if (i < Text.size()) x = NextTab(x, TabStops, 8 * tm.tmAveCharWidth);
            start = i + 1;
        }
    }
    return uint32_t(x & 0xFFFF) | (uint32_t(tm.tmHeight) << 16);
}

// --- DrawText ---
namespace {

struct TTextLine {
    std::string Text;
    int Underline = -1;  // index of the character that "&" marks
    int Width = 0;
};

}  // namespace

int TCanvas::DrawText(std::string_view Text, TRect& R, uint32_t Flags) {
    return DrawTextEx(Text, R, Flags, nullptr);
}

int TCanvas::DrawTextEx(std::string_view Text, TRect& R, uint32_t Flags, TDrawTextParams* Params) {
    const TFontResource& font = Font()->Resource();
    font.FinishMetrics();
    const TTextMetric& tm = font.Metrics;
    int extra = F->State.CharExtra;
    auto width = [&](std::string_view s) { return RunWidth(font, s, extra); };
    int tabLen = (Params ? Params->iTabLength : 8) * tm.tmAveCharWidth;
    int leftMargin = Params ? Params->iLeftMargin : 0, rightMargin = Params ? Params->iRightMargin : 0;
    TRect box{R.Left + leftMargin, R.Top, R.Right - rightMargin, R.Bottom};
    int maxWidth = box.Width();

    // Prefix marks: "&&" is an ampersand, "&x" underlines x.
    std::string plain;
    std::vector<bool> marked;
    for (size_t i = 0; i < Text.size(); ++i) {
        char c = Text[i];
        if (!(Flags & DT_NOPREFIX) && c == '&') {
            if (i + 1 < Text.size() && Text[i + 1] == '&') {
                plain.push_back('&');
                marked.push_back(false);
                ++i;
            } else if (i + 1 < Text.size()) {
                plain.push_back(Text[i + 1]);
                marked.push_back(!(Flags & DT_HIDEPREFIX));
                ++i;
            }
            continue;
        }
        plain.push_back(c);
        marked.push_back(false);
    }
    // Paragraphs at CR LF, CR or LF (a single line keeps them out).
    struct TPara {
        std::string Text;
        std::vector<bool> Marks;
    };
    std::vector<TPara> paras(1);
    for (size_t i = 0; i < plain.size(); ++i) {
        char c = plain[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < plain.size() && plain[i + 1] == '\n') ++i;
            if (!(Flags & DT_SINGLELINE)) paras.emplace_back();
            continue;
        }
        if (c == '\t' && (Flags & DT_EXPANDTABS)) {
            int x = width(paras.back().Text);
            int target = tabLen > 0 ? (x / tabLen + 1) * tabLen : x;
            while (width(paras.back().Text) < target) {
                paras.back().Text.push_back(' ');
                paras.back().Marks.push_back(false);
                if (width(" ") <= 0) break;
            }
            continue;
        }
        paras.back().Text.push_back(c);
        paras.back().Marks.push_back(marked[i]);
    }
    if (plain.empty()) paras.clear();

    std::vector<TTextLine> lines;
    auto emit = [&](const std::string& s, const std::vector<bool>& m, size_t from, size_t to) {
        TTextLine l;
        l.Text = s.substr(from, to - from);
        for (size_t k = from; k < to; ++k)
            if (m[k]) {
                l.Underline = int(k - from);
                break;
            }
        l.Width = width(l.Text);
        lines.push_back(std::move(l));
    };
    bool wrap = (Flags & DT_WORDBREAK) && !(Flags & DT_SINGLELINE);
    for (const TPara& p : paras) {
        const std::string& s = p.Text;
        if (!wrap) {
            emit(s, p.Marks, 0, s.size());
            continue;
        }
        size_t start = 0;
        while (true) {
            if (width(std::string_view(s).substr(start)) <= maxWidth) {
                emit(s, p.Marks, start, s.size());
                break;
            }
            // The longest run of whole words that fits; a word longer than the
            // line is broken only for an edit control, else it stands alone.
            size_t end = start, lastBreak = std::string::npos;
            int w = 0;
            while (end < s.size()) {
                int cw = font.Glyph(uint8_t(s[end])).Advance + extra;
                if (s[end] == ' ') lastBreak = end;
                if (w + cw > maxWidth && s[end] != ' ') break;
                w += cw;
                ++end;
            }
            size_t cut, next;
            if (lastBreak != std::string::npos && lastBreak > start) {
                cut = lastBreak;
                next = lastBreak;
            } else if (Flags & DT_EDITCONTROL) {
                cut = next = std::max(end, start + 1);
            } else {
                cut = start;
                while (cut < s.size() && s[cut] != ' ') ++cut;
                next = cut;
            }
            size_t trimmed = cut;
            while (trimmed > start && s[trimmed - 1] == ' ') --trimmed;
            emit(s, p.Marks, start, trimmed);
            while (next < s.size() && s[next] == ' ') ++next;
            if (next >= s.size()) break;
            start = next;
        }
    }
    // Ellipses: the end of a line, or the middle of a path, becomes "...".
    if (Flags & (DT_END_ELLIPSIS | DT_PATH_ELLIPSIS | DT_WORD_ELLIPSIS)) {
        for (TTextLine& l : lines) {
            if (l.Width <= maxWidth) continue;
            std::string text = l.Text;
            if (Flags & DT_PATH_ELLIPSIS) {
                size_t slash = text.find_last_of("\\/");
                std::string tail = slash == std::string::npos ? text : text.substr(slash);
                std::string head = slash == std::string::npos ? std::string() : text.substr(0, slash);
                while (!head.empty() && width(head + "..." + tail) > maxWidth) head.pop_back();
                text = head + "..." + tail;
                if (width(text) > maxWidth && (Flags & DT_END_ELLIPSIS)) {
                    while (!text.empty() && width(text + "...") > maxWidth) text.pop_back();
                    text += "...";
                }
            } else {
                while (!text.empty() && width(text + "...") > maxWidth) text.pop_back();
                text += "...";
            }
            if (l.Underline >= int(text.size()) - 3) l.Underline = -1;
            l.Text = text;
            l.Width = width(text);
        }
    }
    int lineHeight = tm.tmHeight + ((Flags & DT_EXTERNALLEADING) ? tm.tmExternalLeading : 0);
    int total = int(lines.size()) * lineHeight;
    int widest = 0;
    for (const auto& l : lines) widest = std::max(widest, l.Width);
    int top = box.Top;
    if (Flags & DT_SINGLELINE) {
        if (Flags & DT_VCENTER) top = box.Top + (box.Height() - lineHeight) / 2;
        else if (Flags & DT_BOTTOM) top = box.Bottom - lineHeight;
    }
    if (Params) Params->uiLengthDrawn = int(Text.size());
    if (Flags & DT_CALCRECT) {
        R.Right = R.Left + leftMargin + widest + rightMargin;
        R.Bottom = R.Top + total;
        return total;
    }
    auto lineLeft = [&](const TTextLine& l) {
        if (Flags & DT_CENTER) return box.Left + (box.Width() - l.Width) / 2;
        if (Flags & DT_RIGHT) return box.Right - l.Width;
        return box.Left;
    };
    // The clip to R is needed only where a pixel of the text would fall
    // outside it; the screen's text (no turn, no scaling, no lines drawn
    // along it) is measured glyph by glyph, which costs less than clipping.
    bool clip = !(Flags & DT_NOCLIP);
    if (clip && !F->TextLayer && F->State.MapMode == MM_TEXT && font.Escapement == 0 && !font.Underline &&
        !font.StrikeOut) {
        const TDCState& s = F->State;
        const bool opaque = s.BrushPending ? s.Brush->Style() == bsSolid : s.BkMode == OPAQUE;
        bool inside = true;
        for (int k = 0, y = top; inside && k < int(lines.size()); ++k, y += lineHeight) {
            const TTextLine& l = lines[size_t(k)];
            const int x = lineLeft(l);
            if (l.Underline >= 0) inside = false;
            if (opaque && l.Width > 0)
                inside = inside && x >= R.Left && x + l.Width <= R.Right && y >= R.Top &&
                         y + tm.tmHeight <= R.Bottom;
            int pos = 0;
            for (size_t i = 0; inside && i < l.Text.size(); ++i) {
                const TGlyph& g = font.Glyph(uint8_t(l.Text[i]));
                if (!IsRectEmpty(g.Ink)) {
                    const int gx = x + pos, gy = y + tm.tmAscent;
                    inside = gx + g.Ink.Left >= R.Left && gx + g.Ink.Right <= R.Right &&
                             gy + g.Ink.Top >= R.Top && gy + g.Ink.Bottom <= R.Bottom;
                }
                pos += g.Advance + extra;
            }
        }
        clip = !inside;
    }
    // What the text changes of the device state, put back at the end as a
    // RestoreDC would, without copying the whole state: the clip, the
    // alignment, and the colours and mode that selecting the font and brush
    // sets.
    TDCState& state = F->State;
    const TColorRef oldTextColor = state.TextColor, oldBkColor = state.BkColor;
    const int oldBkMode = state.BkMode;
    const bool oldFontPending = state.FontPending, oldBrushPending = state.BrushPending;
    std::optional<TRegion> oldClip;
    if (clip) {
        oldClip = state.Clip;
        IntersectClipRect(R.Left, R.Top, R.Right, R.Bottom);
    }
    uint32_t oldAlign = SetTextAlign(TA_LEFT | TA_TOP);
    int y = top;
    for (const TTextLine& l : lines) {
        int x = lineLeft(l);
        F->Text(x, y, 0, nullptr, l.Text, {});
        if (l.Underline >= 0) {
            int ux = x + width(std::string_view(l.Text).substr(0, size_t(l.Underline)));
            int uw = font.Glyph(uint8_t(l.Text[size_t(l.Underline)])).Advance;
            uint32_t color = F->ToPixel(F->State.TextColor);
            if (font.Escapement == 0) {
                TPoint a = F->ToDevice({ux, y + tm.tmAscent + font.UnderlinePos}),
                       b = F->ToDevice({ux + uw, y + tm.tmAscent + font.UnderlinePos});
                for (int t = 0; t < font.UnderlineThickness; ++t)
                    F->SpanRop2(a.y + t, std::min(a.x, b.x), std::max(a.x, b.x), color, R2_COPYPEN);
            } else {
                // Turned text: the line runs along the turned baseline, under its character.
                double a = font.Escapement * M_PI / 1800.0, ca = std::cos(a), sa = std::sin(a);
                TPoint d = F->ToDevice({x, y});
                double along = ux - x;
                for (int t = 0; t < font.UnderlineThickness; ++t) {
                    double down = tm.tmAscent + font.UnderlinePos + t;
                    for (int p = 0; p < uw; ++p)
                        F->PixelRop2(int(std::lround(d.x + (along + p) * ca + down * sa)),
                                     int(std::lround(d.y - (along + p) * sa + down * ca)), color, R2_COPYPEN);
                }
            }
        }
        y += lineHeight;
    }
    SetTextAlign(oldAlign);
    state.TextColor = oldTextColor;
    state.BkColor = oldBkColor;
    state.BkMode = oldBkMode;
    state.FontPending = oldFontPending;
    state.BrushPending = oldBrushPending;
    if (clip) {
        state.Clip = std::move(oldClip);
        F->InvalidateClip();
    }
    return total;
}

// --- paths ---
bool TCanvas::BeginPath() {
    F->Path.clear();
    F->PathOpen = true;
    F->PathDone = false;
    return true;
}

bool TCanvas::EndPath() {
    if (!F->PathOpen) return false;
    F->PathOpen = false;
    F->PathDone = true;
    return true;
}

bool TCanvas::AbortPath() {
    F->Path.clear();
    F->PathOpen = F->PathDone = false;
    return true;
}

bool TCanvas::CloseFigure() {
    if (!F->PathOpen || F->Path.empty()) return false;
    F->Path.back().Closed = true;
    return true;
}

namespace {
std::vector<TEdge> PathEdges(const std::vector<TPathFigure>& Path) {
    std::vector<TEdge> edges;
    for (const auto& fig : Path) {
        size_t n = fig.Points.size();
        for (size_t i = 0; i < n; ++i) {
            const TPointD& a = fig.Points[i];
            const TPointD& b = fig.Points[(i + 1) % n];
            if (a.y == b.y) continue;
            edges.push_back({a.x, a.y, b.x, b.y, b.y > a.y ? 1 : -1});
        }
    }
    return edges;
}
}  // namespace

bool TCanvas::FillPath() {
    if (!F->PathDone) return false;
    F->Changing();
    int top;
    auto rows = ScanEdges(PathEdges(F->Path), F->State.PolyFillMode, top);
    F->Rows(top, rows, F->MakeBrush(*F->State.Brush), PenModeToRop2(F->State.Pen->Mode()));
    F->Path.clear();
    F->PathDone = false;
    F->Changed();
    return true;
}

bool TCanvas::StrokePath() {
    if (!F->PathDone) return false;
    F->Changing();
    for (const auto& fig : F->Path) {
        std::vector<TPoint> pts;
        for (const auto& p : fig.Points) pts.push_back({int(std::lround(p.x)), int(std::lround(p.y))});
        if (!pts.empty()) F->PenPolyline(pts, fig.Closed);
    }
    F->Path.clear();
    F->PathDone = false;
    F->Changed();
    return true;
}

bool TCanvas::StrokeAndFillPath() {
    if (!F->PathDone) return false;
    std::vector<TPathFigure> keep = F->Path;
    FillPath();
    F->Path = std::move(keep);
    F->PathDone = true;
    return StrokePath();
}

TRegion TCanvas::PathToRegion() {
    if (!F->PathDone) return {};
    int top;
    auto rows = ScanEdges(PathEdges(F->Path), F->State.PolyFillMode, top);
    F->Path.clear();
    F->PathDone = false;
    return TRegion::FromRows(top, rows);
}

// fontconfig keeps its configuration for the life of the process and never
// frees it; the leak checker of the sanitizer builds is told so here, where
// every program that draws text links it in.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
