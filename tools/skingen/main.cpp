// SPDX-License-Identifier: GPL-3.0-or-later
// skingen: paints every picture of the skin image set into a folder, one PNG per resource
// number and scale, with the resource collection that lists them for the build to embed, and the
// application icon for the desktop in every theme size. Runs without a display.
#include <QDir>
#include <QGuiApplication>
#include <QStringList>
#include <cstdio>

#include "app_icon.h"
#include "image_set.h"
#include "preview.h"
#include "resource_collection.h"

namespace {

int Usage() {
  std::fprintf(
      stderr,
      "usage: skingen FOLDER [--qrc FILE.qrc] [--overlay] [--sheet FILE.png]\n"
      "       skingen --icon-dir FOLDER\n"
      "  paints every skin picture into FOLDER as <resource>.png and <resource>@2x.png\n"
      "  --qrc FILE     also write the resource collection listing those pictures\n"
      "  --overlay      draw the control rectangles of the tables over the backgrounds\n"
      "  --sheet FILE   also write a contact sheet of the control pictures\n"
      "  --preview DIR  also write each window composed with its controls\n"
      "  --icon-dir DIR write the application icon as an icon theme: DIR/<N>x<N>/apps/kdsp.png\n"
      "                 painted at each of 32, 48, 64, 128 and 256 px, and the scalable\n"
      "                 DIR/scalable/apps/kdsp.svg (FOLDER is optional then)\n");
  return 2;
}

bool WritePreviews(const QString& folder, const kdsp::skingen::PaintOptions& options) {
  if (!QDir().mkpath(folder)) return false;
  bool ok = kdsp::skingen::MainWindowPreview(options).save(QDir(folder).filePath("TForm1.png"));
  for (const kdsp::skin::page_layout::PageLayout* page : kdsp::skin::page_layout::kPageLayouts) {
    const std::string_view form = kdsp::settings::Page(page->id).form;
    const QString name = QString::fromLatin1(form.data(), static_cast<int>(form.size()));
    ok =
        kdsp::skingen::PagePreview(*page, options).save(QDir(folder).filePath(name + ".png")) && ok;
  }
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  // Fonts need a GUI application; the offscreen platform needs no display.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  QStringList args = QGuiApplication::arguments();
  args.removeFirst();

  kdsp::skingen::PaintOptions options;
  QString folder;
  QString sheet;
  QString preview;
  QString iconDir;
  QString qrc;
  for (int i = 0; i < args.size(); ++i) {
    if (args[i] == QLatin1String("--overlay")) {
      options.overlay = true;
    } else if (args[i] == QLatin1String("--sheet") && i + 1 < args.size()) {
      sheet = args[++i];
    } else if (args[i] == QLatin1String("--preview") && i + 1 < args.size()) {
      preview = args[++i];
    } else if (args[i] == QLatin1String("--qrc") && i + 1 < args.size()) {
      qrc = args[++i];
    } else if (args[i] == QLatin1String("--icon-dir") && i + 1 < args.size()) {
      iconDir = args[++i];
    } else if (!args[i].startsWith(QLatin1String("--")) && folder.isEmpty()) {
      folder = args[i];
    } else {
      return Usage();
    }
  }
  if (folder.isEmpty() && (iconDir.isEmpty() || !qrc.isEmpty())) return Usage();

  QString error;
  if (!iconDir.isEmpty() && !kdsp::skingen::WriteAppIconTheme(iconDir, error)) {
    std::fprintf(stderr, "skingen: %s\n", qPrintable(error));
    return 1;
  }
  if (folder.isEmpty()) return 0;

  if (!kdsp::skingen::WriteSkinImages(folder, options, error)) {
    std::fprintf(stderr, "skingen: %s\n", qPrintable(error));
    return 1;
  }
  // Written after the pictures, so a collection on disk always lists pictures that are there.
  if (!qrc.isEmpty() && !kdsp::skingen::WriteSkinResourceCollection(qrc, folder, error)) {
    std::fprintf(stderr, "skingen: %s\n", qPrintable(error));
    return 1;
  }
  if (!sheet.isEmpty() && !kdsp::skingen::ContactSheet(options).save(sheet, "PNG")) {
    std::fprintf(stderr, "skingen: cannot write %s\n", qPrintable(sheet));
    return 1;
  }
  if (!preview.isEmpty() && !WritePreviews(preview, options)) {
    std::fprintf(stderr, "skingen: cannot write the previews into %s\n", qPrintable(preview));
    return 1;
  }
  return 0;
}
