#pragma once

#include <QImage>

namespace k57::test {

// The CAN picture's pieces as the tests look at them.

// The cell of bit `n` (0 = 0x80) of byte `k` on the second row of the
// entry at `top`.
inline QImage Cell(const QImage& image, int k, int n, int top = 0) {
    return image.copy(65 + 72 * k + 8 * n, top + 15, 8, 15);
}

// Pixels of exactly `colour`.
inline int Count(const QImage& image, QRgb colour) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            count += image.pixel(x, y) == colour;
        }
    }
    return count;
}

// Pixels that are not the white ground.
inline int Ink(const QImage& image) {
    return image.width() * image.height() - Count(image, qRgb(255, 255, 255));
}

}  // namespace k57::test
