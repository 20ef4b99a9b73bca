// Loading pictures and fonts from files, and the text conversions at the pango boundary.
#include "ToolkitTestSupport.h"

#include <fstream>
#include "TavikUI/MImageList.h"

#include <gif_lib.h>

namespace toolkit_test {
namespace {

using ImagesAndText = ToolkitTest;

// Writes a 4 x 2 GIF of two frames: red, then a green left half over the red (the right half transparent).
bool WriteTwoFrameGif(const std::string& path) {
    int error = 0;
    GifFileType* gif = EGifOpenFileName(path.c_str(), false, &error);
    if (!gif)
        return false;
    GifColorType colours[4] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {0, 0, 0}};
    ColorMapObject* map = GifMakeMapObject(4, colours);
    EGifSetGifVersion(gif, true);
    bool ok = EGifPutScreenDesc(gif, 4, 2, 2, 0, map) == GIF_OK;
    auto frame = [&](const GifPixelType* pixels, int delay_cs, int transparent) {
        GraphicsControlBlock gcb{};
        gcb.DelayTime = delay_cs;
        gcb.TransparentColor = transparent;
        gcb.DisposalMode = DISPOSE_DO_NOT;
        GifByteType ext[4];
        size_t len = EGifGCBToExtension(&gcb, ext);
        ok = ok && EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(len), ext) == GIF_OK;
        ok = ok && EGifPutImageDesc(gif, 0, 0, 4, 2, false, nullptr) == GIF_OK;
        for (int y = 0; y < 2; ++y)
            ok = ok && EGifPutLine(gif, const_cast<GifPixelType*>(pixels + y * 4), 4) == GIF_OK;
    };
    const GifPixelType red[8] = {0, 0, 0, 0, 0, 0, 0, 0};
    const GifPixelType half[8] = {1, 1, 3, 3, 1, 1, 3, 3};
    frame(red, 5, NO_TRANSPARENT_COLOR);
    frame(half, 7, 3);
    GifFreeMapObject(map);
    return EGifCloseFile(gif, &error) == GIF_OK && ok;
}

uint32_t At(cairo_surface_t* s, int x, int y) {
    cairo_surface_flush(s);
    return reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(s) + y * cairo_image_surface_get_stride(s))[x];
}

// Catches frames decoded without composition over the previous one, or delays in the wrong unit.
TEST_F(ImagesAndText, GifFramesAreComposedWithTheirDelays) {
    std::string path = (m_dir / "anim.gif").string();
    ASSERT_TRUE(WriteTwoFrameGif(path));
    std::vector<GifFrame> frames = MRender::LoadGifFrames(MRender::FromUtf8(path));
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0].delay_ms, 50);
    EXPECT_EQ(frames[1].delay_ms, 70);
    EXPECT_EQ(At(frames[0].image, 3, 1), 0xFFFF0000u);
    EXPECT_EQ(At(frames[1].image, 0, 0), 0xFF00FF00u);
    EXPECT_EQ(At(frames[1].image, 3, 1), 0xFFFF0000u);
    for (auto& f : frames)
        cairo_surface_destroy(f.image);
    cairo_surface_t* first = MRender::LoadImageFromFile(MRender::FromUtf8(path));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(cairo_image_surface_get_width(first), 4);
    cairo_surface_destroy(first);
}

// Catches loaders that crash or return half-read pictures for damaged files.
TEST_F(ImagesAndText, DamagedOrMissingImagesLoadAsNothing) {
    std::string gif = (m_dir / "bad.gif").string();
    ASSERT_TRUE(WriteTwoFrameGif(gif));
    std::filesystem::resize_file(gif, 30);
    std::ofstream(m_dir / "bad.png") << "\x89PNG\r\n\x1a\n not really";
    const std::wstring cases[] = {MRender::FromUtf8(gif), (m_dir / "bad.png").wstring(),
                                  (m_dir / "absent.png").wstring(), L""};
    for (const std::wstring& path : cases) {
        EXPECT_EQ(MRender::LoadImageFromFile(path), nullptr) << MRender::ToUtf8(path);
        EXPECT_TRUE(MRender::LoadGifFrames(path).empty());
    }
}

// Catches malformed UTF-8 that is copied through or swallows the bytes after it.
TEST_F(ImagesAndText, Utf8ConversionReplacesMalformedSequences) {
    struct Case {
        std::string utf8;
        std::wstring wide;
    };
    const Case cases[] = {
        {"Profile", L"Profile"},
        {"\xe7\x85\xa7\xe6\x98\x8e", L"\u7167\u660e"},
        {"a\xffz", L"a\uFFFDz"},
        {"\xe7\x85", L"\uFFFD\uFFFD"},
        {"\xf0\x9f\x8e\xb9", L"\U0001F3B9"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MRender::FromUtf8(c.utf8), c.wide) << c.utf8;
        if (c.wide.find(L'\uFFFD') == std::wstring::npos) {
            EXPECT_EQ(MRender::ToUtf8(c.wide), c.utf8);
        }
    }
}

// Catches a font file beside the program that is not registered, or a broken one reported as added.
TEST_F(ImagesAndText, PrivateFontFilesAreRegistered) {
    const char* system_font = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
    if (!std::filesystem::exists(system_font))
        GTEST_SKIP() << "no DejaVu font to copy";
    ProbeDialog& dlg = Dialog();
    std::filesystem::create_directories(m_dir / "font");
    std::filesystem::copy_file(system_font, m_dir / "font" / "Arial.ttf");
    std::ofstream(m_dir / "font" / "broken.ttf") << "not a font";
    EXPECT_TRUE(dlg.m_pm.AddTempFont(L"Arial", (m_dir / "font" / "Arial.ttf").wstring().c_str()));
    EXPECT_FALSE(dlg.m_pm.AddTempFont(L"Broken", (m_dir / "font" / "broken.ttf").wstring().c_str()));
    EXPECT_EQ(dlg.m_pm.FindTempFont(L"ignored"), L"Arial");
}

} // namespace
} // namespace toolkit_test

namespace toolkit_test {
namespace {

// Catches an image list that draws past the last frame or loses its order on insertion.
TEST_F(ImagesAndText, ImageListInsertsInOrderAndClampsTheState) {
    WriteSkin("icons.png", 3, 8, 8, {0xFFFF0000, 0xFF00FF00, 0xFF0000FF});
    WriteSkin("one.png", 1, 4, 4, {0xFFFFFFFF});
    MImageList list;
    ASSERT_TRUE(list.AddImage(L"icons.png", 7, 3));
    ASSERT_TRUE(list.InsertImage(0, L"one.png", 9, 1));
    EXPECT_FALSE(list.AddImage(L"absent.png", 11, 1));
    EXPECT_EQ(list.GetImageCount(), 2);
    EXPECT_EQ(list.GetImagePath(0), L"one.png");
    EXPECT_EQ(list.GetImagePathByID(7), L"icons.png");
    EXPECT_EQ(list.GetIconSize(1), CSize(8, 8));
    EXPECT_EQ(list.GetItemImageData(5), nullptr);
    cairo_surface_t* dst = MRender::CreateARGB32Bitmap(8, 8);
    cairo_t* cr = cairo_create(dst);
    list.DrawItemIcon(cr, CRect(0, 0, 8, 8), 1, 9);
    cairo_destroy(cr);
    EXPECT_EQ(At(dst, 4, 4), 0xFF0000FFu);
    cairo_surface_destroy(dst);
    list.DelAllImages();
    EXPECT_EQ(list.GetImageCount(), 0);
}

} // namespace
} // namespace toolkit_test
