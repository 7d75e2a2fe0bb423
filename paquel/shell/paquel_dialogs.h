// Everything the packager's window shows in a box, asks, or opens. The
// window talks to this interface only, so tests answer it.
#pragma once

#include <optional>
#include <string>

namespace paquel {

class IPaquelDialogs {
 public:
  virtual ~IPaquelDialogs() = default;
  virtual void Informacion(const std::string& caption, const std::string& text) = 0;
  virtual void Advertencia(const std::string& caption, const std::string& text) = 0;
  // Yes/No with a warning icon; true for Yes.
  virtual bool PreguntaAdvertencia(const std::string& caption, const std::string& text) = 0;
  virtual void Error(const std::string& caption, const std::string& text) = 0;
  // The folder picker, starting at start; nullopt when cancelled.
  virtual std::optional<std::string> ElegirCarpeta(const std::string& start) = 0;
  // Opens a text file with the desktop's default opener, without waiting.
  virtual void AbrirArchivo(const std::string& path) = 0;
};

}  // namespace paquel
