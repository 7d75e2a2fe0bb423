// What the long loops of a compile run tell the person watching: a loop of
// items, each named when it starts and marked when it ends. The window shows
// it in the progress window; an unattended run creates none.
#pragma once

#include <functional>
#include <memory>
#include <string>

namespace tornel {

class IProgress {
 public:
  virtual ~IProgress() = default;
  // Prepares a loop of pCantidadDeRegistros items (at least 1) and shows it.
  virtual void Inicializar(int pCantidadDeRegistros, bool pResetAll) = 0;
  virtual void MensajeDelProceso(const std::string& Value) = 0;
  // Starts the next item.
  virtual void NombreItemActual(const std::string& Value) = 0;
  virtual void ItemActualTerminado() = 0;
  virtual void Finalizar() = 0;
};

// Makes the progress display of one loop; the loop frees it at its end.
using ProgressFactory = std::function<std::unique_ptr<IProgress>()>;

// Holds a loop's progress display (or none) and finishes it however the
// loop ends.
class ProgressScope {
 public:
  explicit ProgressScope(std::unique_ptr<IProgress> p) : p_(std::move(p)) {}
  ~ProgressScope() {
    if (p_) p_->Finalizar();
  }
  ProgressScope(ProgressScope&&) = default;
  ProgressScope& operator=(ProgressScope&&) = delete;
  IProgress* operator->() const { return p_.get(); }
  explicit operator bool() const { return p_ != nullptr; }

 private:
  std::unique_ptr<IProgress> p_;
};

}  // namespace tornel
