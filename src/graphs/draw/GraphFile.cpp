#include "graphs/draw/GraphFile.h"

#include <QBuffer>
#include <QByteArray>
#include <QString>
#include <cctype>
#include <ostream>

#include "core/AtomicFile.h"
#include "core/TavorixError.h"

namespace tavorix {

namespace {

bool EndsWithPng(const std::string& path) {
  if (path.size() < 4) return false;
  std::string tail = path.substr(path.size() - 4);
  for (char& c : tail) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return tail == ".png";
}

}  // namespace

void SaveGraphImage(const QImage& image, const std::string& path) {
  const bool png = EndsWithPng(path);
  // Three bytes a pixel: the BMP writer then stores 24 bits per pixel.
  const QImage pixels = image.convertToFormat(QImage::Format_RGB888);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!pixels.save(&buffer, png ? "PNG" : "BMP")) throw TavorixError(FileOpenErrorText(path));
  WriteFileAtomically(path, [&](std::ostream& out) { out.write(bytes.constData(), bytes.size()); });
}

QImage LoadGraphImage(const std::string& path) {
  QImage image;
  if (!image.load(QString::fromStdString(path))) return QImage();
  return image;
}

}  // namespace tavorix
