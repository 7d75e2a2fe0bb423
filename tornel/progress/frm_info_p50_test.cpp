#include "tornel/progress/frm_info_p50.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QToolButton>
#include <array>
#include <stdexcept>
#include <string>
#include <vector>

#include "tornel/progress/gauge.h"

namespace tornel {
namespace {

using namespace std::chrono_literals;
using Rgb = std::array<int, 3>;

// The window on a clock that moves only when the test says so.
class ClockedWindow : public TFrmInfoP50 {
 public:
  void Advance(std::chrono::milliseconds d) { now_ += d; }

 protected:
  TimePoint Now() const override { return now_; }

 private:
  TimePoint now_{};
};

template <typename T>
T* Find(const QWidget& window, const char* name) {
  T* child = window.findChild<T*>(name);
  if (child == nullptr) throw std::runtime_error(std::string("no widget named ") + name);
  return child;
}

std::string Text(const QWidget& window, const char* label) {
  return Find<QLabel>(window, label)->text().toStdString();
}

QToolButton* Button(const QWidget& window, const char* name) {
  return Find<QToolButton>(window, name);
}

Gauge* Bar(const QWidget& window) {
  return Find<Gauge>(window, "GBarraDeAvance");
}

Rgb BarColor(const QWidget& window) {
  const QColor c = Bar(window)->ForeColor();
  return {c.red(), c.green(), c.blue()};
}

TEST(TFrmInfoP50, InicializarWithResetClearsWhatTheLastLoopLeft) {
  ClockedWindow w;
  EXPECT_EQ(w.windowTitle().toStdString(), "Información del Proceso");
  EXPECT_FALSE(w.isVisible());

  w.Inicializar(2, true);
  w.NombreItemActual("viejo");
  w.UltimoError("falla");
  w.Advance(3s);
  w.ItemActualTerminado();
  Button(w, "BDetenerProceso")->click();
  w.Finalizar();

  w.Inicializar(5, true);
  EXPECT_TRUE(w.isVisible());
  EXPECT_EQ(Text(w, "LNombreItemActual"), "");
  EXPECT_EQ(Text(w, "LItemActual"), "0 de 5");
  EXPECT_EQ(Text(w, "LUltimoTiempo"), "00m:00s:00ms");
  EXPECT_EQ(Text(w, "LTiempoTranscurrido"), "0h:00m:00s");
  EXPECT_EQ(Text(w, "LNumeroDeErroresProducidos"), "0");
  EXPECT_EQ(Text(w, "LUltimoError"), "");
  // Continuing again, so the stop message of the last loop is cleared.
  EXPECT_TRUE(w.ContinuarProceso());
  EXPECT_EQ(Text(w, "LMensajeDelProceso"), "");
  EXPECT_EQ(BarColor(w), (Rgb{0, 255, 0}));
  EXPECT_EQ(Bar(w)->Progress(), 0);
  EXPECT_EQ(Bar(w)->MaxValue(), 5);
  EXPECT_FALSE(Button(w, "BSalir")->isEnabled());
  EXPECT_TRUE(Button(w, "BDetenerProceso")->isEnabled());

  w.NombreItemActual("Proyecto A");
  EXPECT_EQ(Text(w, "LNombreItemActual"), "Proyecto A");
  EXPECT_EQ(Text(w, "LItemActual"), "1 de 5");
}

TEST(TFrmInfoP50, InicializarWithoutResetCarriesErrorsStopAndTotalTimeOn) {
  ClockedWindow w;
  w.Inicializar(2, true);
  w.NombreItemActual("a");
  w.UltimoError("x");
  w.Advance(10s);
  w.ItemActualTerminado();
  Button(w, "BDetenerProceso")->click();

  w.Inicializar(3, false);
  EXPECT_EQ(Text(w, "LItemActual"), "0 de 3");
  EXPECT_EQ(Text(w, "LNumeroDeErroresProducidos"), "1");
  EXPECT_EQ(Text(w, "LUltimoError"), "a: x");
  EXPECT_EQ(Text(w, "LUltimoTiempo"), "0m:10s:0ms");
  EXPECT_FALSE(w.ContinuarProceso());
  EXPECT_EQ(Text(w, "LMensajeDelProceso"), "DETENIENDO EL PROCESO...");
  EXPECT_EQ(BarColor(w), (Rgb{0, 255, 0}));
  EXPECT_EQ(Bar(w)->MaxValue(), 3);

  w.NombreItemActual("b");
  w.Advance(5s);
  w.ItemActualTerminado();
  EXPECT_EQ(Text(w, "LUltimoTiempo"), "0m:5s:0ms");
  EXPECT_EQ(Text(w, "LTiempoTranscurrido"), "0h:00m:15s");
}

TEST(TFrmInfoP50, BarTurnsFromGreenThroughYellowToRedAndEndsBlue) {
  struct Case {
    int items;
    std::vector<Rgb> after_each_item;
  } cases[] = {
      {4, {{127, 255, 0}, {255, 255, 0}, {255, 127, 0}, {255, 0, 0}}},
      {1, {{0, 0, 0}}},
      {3, {{170, 255, 0}, {170, 85, 0}, {170, 0, 0}}},
      {10,
       {{51, 255, 0}, {102, 255, 0}, {153, 255, 0}, {204, 255, 0}, {255, 255, 0},
        {255, 204, 0}, {255, 153, 0}, {255, 102, 0}, {255, 51, 0}, {255, 0, 0}}},
  };
  // One window for every loop: each Inicializar starts the colours afresh.
  ClockedWindow w;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.items);
    w.Inicializar(c.items, true);
    for (size_t i = 0; i < c.after_each_item.size(); ++i) {
      w.NombreItemActual("item");
      w.ItemActualTerminado();
      EXPECT_EQ(Bar(w)->Progress(), static_cast<int>(i + 1));
      EXPECT_EQ(BarColor(w), c.after_each_item[i]) << "after item " << i + 1;
    }
    w.Finalizar();
    EXPECT_EQ(BarColor(w), (Rgb{0, 0, 255}));
    EXPECT_EQ(Text(w, "LMensajeDelProceso"), "PROCESO TERMINADO");
    EXPECT_TRUE(Button(w, "BSalir")->isEnabled());
    EXPECT_FALSE(Button(w, "BDetenerProceso")->isEnabled());
  }
}

TEST(TFrmInfoP50, ItemsCanBeNumberedAndFinishedOutOfStep) {
  ClockedWindow w;
  w.Inicializar(4, true);
  w.NombreItemActual("primero");
  w.ItemActualTerminado();
  // Item 2 is skipped: finished without being named.
  w.EmpleadoActualTerminado(3);
  EXPECT_EQ(Text(w, "LItemActual"), "1 de 4");
  EXPECT_EQ(Bar(w)->Progress(), 3);
  EXPECT_EQ(BarColor(w), (Rgb{127, 127, 0}));  // 3 of 4 is past half: green falls

  w.NombreItemActual("cuarto", 4);
  EXPECT_EQ(Text(w, "LItemActual"), "4 de 4");
  w.EmpleadoActualTerminado();
  EXPECT_EQ(Bar(w)->Progress(), 4);
  EXPECT_EQ(BarColor(w), (Rgb{127, 0, 0}));
  w.EmpleadoActualTerminado(9);
  EXPECT_EQ(Bar(w)->Progress(), 4);
  EXPECT_EQ(Bar(w)->PercentDone(), 100);
}

TEST(TFrmInfoP50, StopShowsItsMessageAndSilencesTheRest) {
  ClockedWindow w;
  w.Inicializar(3, true);
  w.MensajeDelProceso("Compilando");
  EXPECT_EQ(Text(w, "LMensajeDelProceso"), "Compilando");

  Button(w, "BDetenerProceso")->click();
  EXPECT_EQ(Text(w, "LMensajeDelProceso"), "DETENIENDO EL PROCESO...");
  EXPECT_FALSE(w.ContinuarProceso());
  EXPECT_TRUE(Button(w, "BDetenerProceso")->isEnabled());

  w.MensajeDelProceso("Otro paso");
  w.Finalizar();
  EXPECT_EQ(Text(w, "LMensajeDelProceso"), "DETENIENDO EL PROCESO...");
  EXPECT_TRUE(Button(w, "BSalir")->isEnabled());
  EXPECT_FALSE(Button(w, "BDetenerProceso")->isEnabled());

  w.SetContinuarProceso(true);
  w.MensajeDelProceso("Otra vez");
  EXPECT_EQ(Text(w, "LMensajeDelProceso"), "Otra vez");

  Button(w, "BSalir")->click();
  EXPECT_FALSE(w.isVisible());
}

TEST(TFrmInfoP50, HidingTheDetailsShrinksWindowAndGroupAndShowingRestoresThem) {
  ClockedWindow w;
  w.Inicializar(2, true);
  auto* grupo = Find<QGroupBox>(w, "GBTiempos");
  EXPECT_EQ(w.width(), 507);
  EXPECT_EQ(w.height(), 181);
  EXPECT_EQ(w.minimumSize(), w.maximumSize());
  EXPECT_EQ(grupo->height(), 60);

  Button(w, "SBVerDetalles")->click();
  QCoreApplication::processEvents();
  EXPECT_EQ(w.width(), 507);
  EXPECT_EQ(w.height(), 181 - 115);
  EXPECT_EQ(grupo->height(), 60 - 26);
  EXPECT_FALSE(Find<QWidget>(w, "PSuperior")->isVisible());
  EXPECT_FALSE(Find<QWidget>(w, "PSuperior1")->isVisible());
  // What stays moves up: the group box to the top, the bar inside it, the
  // buttons at the bottom of the smaller window.
  EXPECT_EQ(grupo->y(), 0);
  const QRect barra(Bar(w)->mapTo(&w, QPoint(0, 0)), Bar(w)->size());
  EXPECT_TRUE(Bar(w)->isVisible());
  EXPECT_TRUE(grupo->geometry().contains(barra)) << barra.y() << " " << barra.height();
  auto* botones = Find<QWidget>(w, "PInferior");
  EXPECT_TRUE(botones->isVisible());
  EXPECT_EQ(botones->geometry().bottom(), w.height() - 1);

  Button(w, "SBVerDetalles")->click();
  QCoreApplication::processEvents();
  EXPECT_EQ(w.height(), 181);
  EXPECT_EQ(grupo->height(), 60);
  EXPECT_TRUE(Find<QWidget>(w, "PSuperior")->isVisible());
  EXPECT_TRUE(Find<QWidget>(w, "PSuperior1")->isVisible());
  EXPECT_EQ(botones->geometry().bottom(), w.height() - 1);
}

TEST(TFrmInfoP50, TimesCountFromTheItemAndFromTheFirstNamedItem) {
  ClockedWindow w;
  w.Inicializar(3, true);
  w.Advance(40s);  // before the first item: not part of the total
  struct Step {
    std::chrono::milliseconds lasts;
    std::string last_time;
    std::string total;
  } steps[] = {
      {1h + 2min + 3s, "2m:3s:0ms", "1h:02m:03s"},
      {2min + 5s + 30ms, "2m:5s:30ms", "1h:04m:08s"},
      // Whole hours of an item and whole days of the total are not shown.
      {23h + 7s + 999ms, "0m:7s:999ms", "0h:04m:16s"},
  };
  for (const auto& s : steps) {
    w.NombreItemActual("item");
    w.Advance(s.lasts);
    w.ItemActualTerminado();
    EXPECT_EQ(Text(w, "LUltimoTiempo"), s.last_time);
    EXPECT_EQ(Text(w, "LTiempoTranscurrido"), s.total);
  }
  w.Advance(1s);
  w.Finalizar();
  EXPECT_EQ(Text(w, "LUltimoTiempo"), "0m:7s:999ms");
  EXPECT_EQ(Text(w, "LTiempoTranscurrido"), "0h:04m:17s");
}

TEST(TFrmInfoP50, UltimoErrorNamesTheItemAndCountsOnlyRealErrors) {
  ClockedWindow w;
  w.Inicializar(3, true);
  w.NombreItemActual("Proyecto Ñandú");
  w.UltimoError("falló la compilación");
  EXPECT_EQ(Text(w, "LUltimoError"), "Proyecto Ñandú: falló la compilación");
  EXPECT_EQ(Text(w, "LNumeroDeErroresProducidos"), "1");

  w.NombreItemActual("Otro");
  w.UltimoError("<b>no es marca</b>");
  EXPECT_EQ(Text(w, "LUltimoError"), "Otro: <b>no es marca</b>");
  EXPECT_EQ(Find<QLabel>(w, "LUltimoError")->textFormat(), Qt::PlainText);
  EXPECT_EQ(Text(w, "LNumeroDeErroresProducidos"), "2");

  w.UltimoError("");
  EXPECT_EQ(Text(w, "LUltimoError"), "");
  EXPECT_EQ(Text(w, "LNumeroDeErroresProducidos"), "2");
}

TEST(TFrmInfoP50, EmpleadoActualShowsAWholeIdentificationThreeBlanksAndTheName) {
  struct Case {
    double id;
    std::string nombre;
    std::string want;
  } cases[] = {
      {1234, "PÉREZ, Ana", "1234   PÉREZ, Ana"},
      {2.5, "B", "3   B"},
      {1234567.4, "C", "1234567   C"},
      {-7.5, "D", "-8   D"},
      {-0.4, "E", "0   E"},
      {0.49, "", "0   "},
  };
  ClockedWindow w;
  w.Inicializar(10, true);
  int item = 0;
  for (const auto& c : cases) {
    w.EmpleadoActual(c.id, c.nombre);
    EXPECT_EQ(Text(w, "LNombreItemActual"), c.want) << c.id;
    EXPECT_EQ(Text(w, "LItemActual"), std::to_string(++item) + " de 10");
  }
  w.EmpleadoActual(42, "X", 9);
  EXPECT_EQ(Text(w, "LNombreItemActual"), "42   X");
  EXPECT_EQ(Text(w, "LItemActual"), "9 de 10");
}

}  // namespace
}  // namespace tornel
