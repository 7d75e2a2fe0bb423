#include "paquel/checks/source_checks.h"

#include <cstring>

#include <exception>

#include "platform/error.h"
#include "platform/path_resolve.h"
#include "platform/paths.h"
#include "platform/strings.h"
#include "platform/text.h"

namespace paquel {
namespace {

constexpr std::string_view kCliente = "Cliente";
constexpr std::string_view kServidor = "Servidor";
constexpr size_t npos = std::string::npos;

// The file as a list of lines, broken at CR LF, LF or a lone CR; a line break
// at the very end opens no further line.
std::vector<std::string_view> DividirLineas(std::string_view s, bool* solo_crlf = nullptr) {
  std::vector<std::string_view> lineas;
  bool crlf = true;
  size_t i = 0;
  while (i < s.size()) {
    // The next LF, then a CR before it: two vectorised searches instead of
    // looking at every character.
    const void* lf = std::memchr(s.data() + i, '\n', s.size() - i);
    size_t fin = lf ? static_cast<size_t>(static_cast<const char*>(lf) - s.data()) : s.size();
    if (const void* cr = std::memchr(s.data() + i, '\r', fin - i))
      fin = static_cast<size_t>(static_cast<const char*>(cr) - s.data());
    if (fin == s.size()) {
      lineas.push_back(s.substr(i));
      break;
    }
    lineas.push_back(s.substr(i, fin - i));
    const bool par = s[fin] == '\r' && fin + 1 < s.size() && s[fin + 1] == '\n';
    crlf = crlf && par;
    i = fin + (par ? 2 : 1);
  }
  if (solo_crlf) *solo_crlf = crlf;
  return lineas;
}

// The rules read the whole file with CR LF between lines, whatever the
// file's own line ends were.
std::string UnirConCrLf(const std::vector<std::string_view>& lineas) {
  size_t largo = 0;
  for (std::string_view l : lineas) largo += l.size() + 2;
  std::string texto;
  texto.reserve(largo);
  for (size_t i = 0; i < lineas.size(); ++i) {
    if (i > 0) texto += "\r\n";
    texto += lineas[i];
  }
  return texto;
}

bool Contiene(std::string_view texto, std::string_view parte) {
  return texto.find(parte) != npos;
}

// out := line without surrounding blanks, upper-cased, in place.
void MayusculasSinBlancos(std::string_view line, std::string& out) {
  size_t b = 0, e = line.size();
  while (b < e && static_cast<unsigned char>(line[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(line[e - 1]) <= ' ') --e;
  out.assign(line.substr(b, e - b));
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
}

// mayusculas: the line trimmed and upper-cased.
bool MarcaDeObjeto(std::string_view mayusculas) {
  return Contiene(mayusculas, "OBJECT") || Contiene(mayusculas, "INHERIT");
}

std::string QuitarPrimera(std::string_view s, std::string_view palabra) {
  std::string r(s);
  size_t pos = platform::FindText(r, palabra);
  if (pos != npos) r.erase(pos, palabra.size());
  return r;
}

// Name and type of the object a header line opens ("object DmCon:
// SDCOMConnection", "inherited FrmX: TFrmX", collection items).
void LeerCabecera(std::string_view linea, std::string& objeto, std::string& tipo) {
  std::string s = platform::Trim(QuitarPrimera(platform::Trim(linea), "OBJECT"));
  s = platform::Trim(QuitarPrimera(s, "INHERITED"));
  s = platform::Trim(QuitarPrimera(s, "ITEM"));
  size_t dos_puntos = s.find(':');
  objeto = dos_puntos == npos ? std::string() : platform::Trim(s.substr(0, dos_puntos));
  dos_puntos = linea.find(':');
  tipo = platform::Trim(dos_puntos == npos ? linea : linea.substr(dos_puntos + 1));
}

// Only these kinds of object can hold what the form rules look for.
bool EsTipoRevisado(std::string_view tipo) {
  const std::string t = platform::UpperCase(tipo);
  for (std::string_view revisado : {"SQUERY", "TSTRINGFIELD", "SDCOMCONNECTION", "SDATABASE",
                                    "TMNOTAS", "TFRXREPORT", "SCLIENTDATASET", "TCLIENTDATASET"})
    if (t == revisado) return true;
  return Contiene(t, "TFRM");
}

}  // namespace

bool EsLineaDeObjeto(std::string_view line) {
  return MarcaDeObjeto(platform::UpperCase(platform::Trim(line)));
}

ValidadorFuentes::ValidadorFuentes()
    // A commented call such as "// frxRpt.DesignReport" or "// Self.frxRpt.
    // DesignReport". Possessive quantifiers accept the same texts as the
    // plain ones but never re-scan a run of blanks, which would take
    // quadratic time after a "//" followed by many blank lines.
    : FReDisenoComentado(
          R"(//\s*+\w*+\s*+[.]\s*+(?:designreport\b|\w*+\s*+[.]\s*+designreport\b))"),
      FReRptPreview("CvAsignarRptPreview"),
      FReDnmLibre("DNMLIBRE"),
      FReQuickReport("URERRLQ2|QRCtrls|QuickRpt|QRExport"),
      FReApplicationTag("Application.Tag"),
      FReValorEscrito(R"(ValorEscrito\(\w+\))"),
      FReTodoQuemado(R"(\{\s*TODO.*\bcQuemado\b)"),
      FReActivo(R"(^\s*active\s)"),
      FReOnCreate(R"(OnCreate\s)"),
      FRePreviewOptions("PreviewOptions[.]"),
      FReAllowEdit("AllowEdit"),
      FRePdfExport("TfrxPDFExport"),
      FReReporte("TfrxReport") {}

// The file as text; a path written in another letter case than the file's
// is resolved only when the path as given is not there.
static std::string Leer(const std::string& path) {
  try {
    return platform::ReadTextFile(path).text;
  } catch (const platform::EFOpenError&) {
    const std::string resolved = platform::ResolveCase(path);
    if (resolved == path) throw;
    return platform::ReadTextFile(resolved).text;
  }
}

int ValidadorFuentes::ValidarConexion(const std::string& pStFileName,
                                      const std::string& pStTipCarpeta,
                                      TPqStringList& pSlMensaje, EstadoFuentes& estado) const {
  if (pStTipCarpeta == kCliente && estado.gBoSoloServ) return 0;
  int result = 0;
  try {
    const std::string leido = Leer(pStFileName);
    bool solo_crlf = false;
    const std::vector<std::string_view> lineas = DividirLineas(leido, &solo_crlf);
    // A file whose lines all end in CR LF already is its text (less a final
    // break); only other files are joined anew.
    std::string unido;
    std::string_view texto = leido;
    if (solo_crlf) {
      if (texto.ends_with("\r\n")) texto.remove_suffix(2);
    } else {
      unido = UnirConCrLf(lineas);
      texto = unido;
    }
    const std::string nombre = platform::ExtractFileName(pStFileName);
    const std::string extension = platform::ExtractFileExt(platform::LowerCase(pStFileName));
    if (extension == ".pas")
      ValidarUnidad(texto, nombre, pStTipCarpeta, pSlMensaje, estado);
    else if (extension == ".dfm")
      ValidarForma(texto, lineas, nombre, pStTipCarpeta, pSlMensaje, estado, result);
  } catch (const std::exception& e) {
    // One file that cannot be checked must not end the program's checks.
    pSlMensaje.Add("No se pudo validar el archivo " + pStFileName);
    pSlMensaje.Add(e.what());
  }
  return result;
}

void ValidadorFuentes::ValidarUnidad(std::string_view texto, const std::string& nombre,
                                     const std::string& pStTipCarpeta,
                                     TPqStringList& pSlMensaje, EstadoFuentes& estado) const {
  const bool cliente = pStTipCarpeta == kCliente;
  auto avisar = [&](std::string_view regla) {
    pSlMensaje.Add("El Arhivo " + nombre + std::string(regla));
  };
  // The "contains, without regard to case" rules search one lower-cased copy.
  const std::string minusculas = platform::LowerCase(texto);
  if (cliente) {
    if (minusculas.find("designreport") != npos && !FReDisenoComentado.SearchUtf8(texto))
      avisar(" esta llamando la funcion DesignReport y es posible que no este comentareada, "
             "verifique ...");
    if (minusculas.find("ghandletareas") != npos)
      avisar(" tiene aun el handle(gHandleTareas) , verifique...");
    if (!estado.gBoExistFunctDRpt && estado.gBoExistFrx)
      estado.gBoExistFunctDRpt = FReRptPreview.SearchUtf8(texto);
    if (FReDnmLibre.SearchUtf8(texto))
      avisar(" esta usando la DNmLibre en el cliente es posible que no le funcione los llamados "
             "a esa libreria, verifique ...");
    if (FReQuickReport.SearchUtf8(texto)) avisar(" esta haciendo uso de QuickReport, verifique ...");
  }
  if (pStTipCarpeta == kServidor && FReApplicationTag.SearchUtf8(texto))
    avisar(" esta usando la variable global Application.Tag verifique que se este asignando o "
           "Cambielo ...");
  if (minusculas.find("dbtables") != npos)
    avisar(" tiene entre los uses la libreria DBTables, verifique...");
  if (FReValorEscrito.SearchUtf8(texto))
    avisar(" el llamando a la funcion ValorEscrito es obsoleto, se deben agregar mas parametros, "
           "verifique ...");
  if (FReTodoQuemado.SearchUtf8(texto))
    avisar(" tiene un TO-DO con la constante \"cQuemado\", verifique ...");
}

void ValidadorFuentes::ValidarForma(std::string_view texto,
                                    const std::vector<std::string_view>& lineas,
                                    const std::string& nombre, const std::string& pStTipCarpeta,
                                    TPqStringList& pSlMensaje, EstadoFuentes& estado,
                                    int& result) const {
  if (lineas.empty()) throw platform::Error("El archivo está vacío");
  // A form saved in binary cannot be read line by line.
  if (!EsLineaDeObjeto(lineas.front())) {
    pSlMensaje.Add("No se puedo validar el archivo!, en el " + pStTipCarpeta + " el archivo " +
                   nombre + ", No se encuentre como texto, valide la propiedad Text Dfm");
    return;
  }
  const bool cliente = pStTipCarpeta == kCliente;
  const bool servidor = pStTipCarpeta == kServidor;
  std::string objeto, tipo, ultimo_reporte;
  bool revisado = false;
  std::string mayusculas;  // reused: forms have tens of thousands of lines
  for (std::string_view linea : lineas) {
    MayusculasSinBlancos(linea, mayusculas);
    // Property lines follow their object's header, so they are judged with it.
    if (MarcaDeObjeto(mayusculas)) {
      LeerCabecera(linea, objeto, tipo);
      revisado = EsTipoRevisado(tipo);
    }
    if (!revisado) continue;

    if (Contiene(mayusculas, "CONNECTED = TRUE")) {
      result = 1;
      break;
    }
    if (servidor) {
      if (Contiene(mayusculas, "FKLOOKUP"))
        pSlMensaje.Add("El campo " + objeto + " tipo fkLookup existe en el servidor Verifique...");
      if (Contiene(mayusculas, "FKCALCULATED"))
        pSlMensaje.Add("El campo " + objeto +
                       " tipo fkCalculated existe en el servidor Verifique...");
      if (Contiene(mayusculas, "MDMRANCESTRODMR")) estado.gSlObjCone.push_back(objeto);
      continue;
    }
    if (!cliente) continue;

    if (!estado.gBoTituloNota) {
      estado.gBoTituloNota =
          platform::SameText(tipo, "TMNotas") && Contiene(mayusculas, "TITULOFORMA");
      result = estado.gBoTituloNota ? 0 : 2;
    }
    if (result == 0 || result == 3) {
      if (platform::SameText(tipo, "SClientDataSet") && FReActivo.SearchUtf8(linea)) {
        estado.gSlObjCone.push_back(objeto);
        result = 3;
      }
      if (platform::SameText(tipo, "TClientDataSet") && objeto == "CdsGnEmpre" &&
          FReActivo.SearchUtf8(linea))
        result = 8;
    }
    if (FReOnCreate.SearchUtf8(linea)) {
      const size_t igual = linea.find('=');
      const std::string valor =
          platform::UpperCase(platform::Trim(igual == npos ? linea : linea.substr(igual + 1)));
      result = valor == "NIL" ? 6 : 7;
      break;
    }
    // The form text stores AllowEdit first among the preview options, and
    // only when it is off, so a report's first preview line tells it all.
    if (platform::SameText(tipo, "TfrxReport") && FRePreviewOptions.SearchUtf8(linea) &&
        objeto != ultimo_reporte) {
      ultimo_reporte = objeto;
      if (!FReAllowEdit.SearchUtf8(linea))
        pSlMensaje.Add("En el arhivo " + nombre + " el objeto " + objeto +
                       " en la propiedad PreviewOptions no tiene en false la opción AllowEdit, "
                       "verifique...");
    }
  }
  if (cliente) {
    if (!estado.gBoExistPDF) estado.gBoExistPDF = FRePdfExport.SearchUtf8(texto);
    if (!estado.gBoExistFrx) estado.gBoExistFrx = FReReporte.SearchUtf8(texto);
  }
}

}  // namespace paquel
