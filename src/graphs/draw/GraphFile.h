#pragma once
// Saving a drawn graph and loading a saved one.

#include <QImage>
#include <string>

namespace tavorix {

// Writes the graph as a 24-bit BMP file, or as PNG when the name ends in
// ".png", atomically (a failure leaves any earlier file as it was). Throws
// TavorixError when the file cannot be written.
void SaveGraphImage(const QImage& image, const std::string& path);

// Loads a saved graph; a null image when the file cannot be read as one.
QImage LoadGraphImage(const std::string& path);

}  // namespace tavorix
