#include <dlfcn.h>

#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>
#include <vector>

#include "cli/cli.h"
#include "cli/qt_parts.h"

namespace {

namespace fs = std::filesystem;

// Loads the Qt parts' module, once: beside the program (the build), or in
// ../lib/veltrano (installed). False, with the reason, when it is missing.
bool LoadQtParts(veltrano::QtParts* parts, std::string* error) {
  static bool tried = false;
  static bool loaded = false;
  static std::string failure;
  static veltrano::QtParts found;
  if (!tried) {
    tried = true;
    std::error_code ec;
    const fs::path program = fs::read_symlink("/proc/self/exe", ec);
    const fs::path folder = program.parent_path();
    for (const fs::path& module : {folder / veltrano::kQtPartsModule,
                                   folder / ".." / "lib" / "veltrano" / veltrano::kQtPartsModule}) {
      if (!fs::is_regular_file(module, ec)) continue;
      void* handle = dlopen(module.c_str(), RTLD_NOW | RTLD_LOCAL);
      if (handle == nullptr) {
        const char* why = dlerror();
        failure = why != nullptr ? why : module.string();
        continue;
      }
      // The module stays loaded for as long as the program runs.
      auto install = reinterpret_cast<veltrano::InstallQtPartsFunction>(
          dlsym(handle, veltrano::kInstallQtPartsSymbol));
      if (install == nullptr) {
        failure = module.string() + ": " + veltrano::kInstallQtPartsSymbol;
        continue;
      }
      install(&found);
      loaded = true;
      break;
    }
    if (!loaded && failure.empty()) failure = std::string(veltrano::kQtPartsModule) + " is missing";
  }
  if (!loaded) {
    *error = "PDF output is not available (" + failure + ")";
    return false;
  }
  *parts = found;
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  // The Qt parts are loaded when a command first needs one.
  veltrano::SetPdfCanvasFactory([](const std::string& path, std::string* error)
                                    -> std::unique_ptr<veltrano::PrinterCanvas> {
    veltrano::QtParts parts;
    if (!LoadQtParts(&parts, error)) return nullptr;
    return parts.pdf_canvas(path, error);
  });
  veltrano::SetDrawingPagesFactory([]() -> std::unique_ptr<veltrano::DrawingPages> {
    veltrano::QtParts parts;
    std::string error;
    if (!LoadQtParts(&parts, &error)) return nullptr;
    return parts.drawing_pages();
  });
  std::vector<std::string> args(argv + 1, argv + argc);
  return veltrano::RunCli(args, std::cin, std::cout, std::cerr);
}
