#pragma once

#include "drawing/Canvas.h"
#include "face/UserScale.h"

#include <QImage>
#include <QRect>

#include <cstdint>
#include <functional>

namespace cellsonify {

// A Canvas that rasterises into a QImage, pixel for pixel the same on every
// run: user coordinates map to pixels with floor, lines include both ends and
// every mark lights at least one pixel, everything is clipped to the image;
// a mark with a NaN coordinate draws nothing.
// It also keeps one "resting" copy of itself that a redraw can restore with a
// single copy instead of drawing again.
class ImageCanvas : public Canvas {
public:
    // A white image of the given client size with the scale 0,0,1,1.
    ImageCanvas(int pixelWidth, int pixelHeight);

    // Canvas operations (see Canvas.h), in the current user scale.
    void clear() override;
    void line(float x1, float y1, float x2, float y2, int colour) override;
    // The segment's pixels copied from the resting picture where one is kept
    // at the current size, so a shaded raster's marks fade back to their
    // shade; otherwise line().
    void restLine(float x1, float y1, float x2, float y2, int colour) override;
    // Fills every pixel between the pixels of the two corners, both included.
    void filledBox(float x1, float y1, float x2, float y2, int colour) override;
    // Pixels whose centres lie within the radius (horizontal units converted to
    // pixels): the rim in the fore colour, the rest in the fill colour. A circle
    // too small to hold a pixel centre still lights its centre pixel (fore colour).
    void circle(float x, float y, float radius) override;
    void setFillColour(int colour) override { fill_ = colour; }
    void setForeColour(int colour) override { fore_ = colour; }
    int fillColour() const { return fill_; }
    int foreColour() const { return fore_; }
    // Each pixel a mark lights becomes a square of `pixels` x `pixels` (its
    // top-left at that pixel, clipped), so a mark drawn into an image of
    // device pixels keeps the width of one window pixel; 1 at construction.
    void setMarkSize(int pixels);
    int markSize() const { return mark_; }

    // Replaces the user scale; the pixels already drawn stay as they are.
    void setScale(const UserScale& scale);
    const UserScale& scale() const { return scale_; }
    // Resizes the client area, keeping the pixels that still fit (new ones in the background).
    void resize(int pixelWidth, int pixelHeight);
    int pixelWidth() const { return image_.width(); }
    int pixelHeight() const { return image_.height(); }
    // The colour clear() paints (0xAARRGGBB); white at construction.
    void setBackground(uint32_t rgb);
    uint32_t background() const { return background_; }

    // Pixel column / row of a user x / y under the current scale (see userToPixel).
    long long pixelX(float x) const;
    long long pixelY(float y) const;
    // User x / y at a pixel position (fractional positions allowed).
    double userX(double px) const;
    double userY(double py) const;

    const QImage& image() const { return image_; }
    // Direct pixel access for bulk painters; they must report what they touch with markDirty().
    QImage& pixels() { return image_; }
    // Adds `r` (pixels) to the region changed since the last takeDirty().
    void markDirty(const QRect& r);
    // The changed region so far, which is then forgotten.
    QRect takeDirty();
    // Called once each time the changed region stops being empty (e.g. to schedule a repaint).
    void setChangeListener(std::function<void()> listener) { listener_ = std::move(listener); }

    // Keeps a copy of the image as the resting picture under `key`.
    void keepResting(uint64_t key);
    // Copies the resting picture back if it was kept under `key` with the current
    // size, scale and background; false (image untouched) otherwise.
    bool restoreResting(uint64_t key);
    // Forgets the resting picture.
    void dropResting();

private:
    void plot(int x, int y, uint32_t rgb) { reinterpret_cast<uint32_t*>(image_.scanLine(y))[x] = rgb; }
    // Calls set(x, y) for each pixel of the mark-sized square at (x, y) within the image.
    template <class Set>
    void markSquare(int x, int y, Set&& set) const;
    // `r` grown right and down by the mark size, within the image.
    QRect markedRect(long long left, long long top, long long right, long long bottom) const;

    QImage image_;
    UserScale scale_;
    uint32_t background_ = 0xFFFFFFFF;
    int fill_ = 0;
    int fore_ = 0;
    int mark_ = 1;
    QRect dirty_;
    std::function<void()> listener_;
    QImage resting_;
    uint64_t restingKey_ = 0;
    bool hasResting_ = false;
};

}  // namespace cellsonify
