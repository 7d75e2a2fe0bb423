"""Writes a synthetic source tree for the source-check benchmark: program
folders with a client program file whose uses clause names its units, and
units with forms in the product's style. Deterministic."""
import os
import random
import sys

root, programs, units = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
rng = random.Random(7)
WORDS = ["Empleado", "Planilla", "Concepto", "Periodo", "Cargo", "Area", "Sede", "Banco",
         "Cuenta", "Importe", "Fecha", "Codigo", "Nombre", "Estado", "Tipo"]

def unit_text(name, i):
    lines = [f"unit {name};", "", "interface", "", "uses",
             "  Windows, Messages, SysUtils, Classes, Graphics, Controls, Forms, Dialogs,",
             "  DB, DBClient, SConnect, UMFrmBase;", "", "type",
             f"  TFrm{name} = class(TFrmBase)"]
    for k in range(25):
        w = rng.choice(WORDS)
        lines.append(f"    Cds{w}{k}: TClientDataSet;")
    lines += ["  private", "  public", "  end;", "", "implementation", "", "{$R *.dfm}", ""]
    for k in range(12):
        w = rng.choice(WORDS)
        lines += [f"procedure TFrm{name}.Calcular{w}{k};", "var", "  lInImporte: Integer;",
                  "begin", f"  lInImporte := Cds{w}{k}.FieldByName('IMP_{w.upper()}').AsInteger;",
                  "  if lInImporte > 0 then", "    ShowMessage(IntToStr(lInImporte));",
                  "  // frxRpt.DesignReport;", "end;", ""]
    lines.append("end.")
    return "\r\n".join(lines) + "\r\n"

def form_text(name, i, main):
    lines = [f"inherited Frm{name}: TFrm{name}", "  Left = 200", "  Top = 120",
             f"  Caption = 'Programa {name}'", "  OnCreate = FormCreate" if False else "  PixelsPerInch = 96"]
    if main:
        lines += ["  object MNotas1: TMNotas", "    TituloForma = 'Programa'", "  end",
                  "  object frxPDFExport1: TfrxPDFExport", "    UseFileCache = True", "  end"]
    for k in range(20):
        w = rng.choice(WORDS)
        lines += [f"  object Cds{w}{k}: SClientDataSet", "    Aggregates = <>",
                  "    Params = <>", f"    ProviderName = 'Dsp{w}{k}'", "    Left = 40",
                  f"    Top = {k * 8}", f"    object Cds{w}{k}COD_{w.upper()}: TStringField",
                  f"      FieldName = 'COD_{w.upper()}'", "      Size = 10", "    end", "  end"]
    lines.append("end")
    return "\r\n".join(lines) + "\r\n"

for p in range(programs):
    code = f"GN{p:05d}"
    client = os.path.join(root, code, "C" + code)
    os.makedirs(client, exist_ok=True)
    names = [f"U{code}"] + [f"U{code}{u:03d}" for u in range(1, units)]
    uses = ",\r\n".join(f"  {n} in '{n}.pas' {{Frm{n}}}" for n in names)
    with open(os.path.join(client, f"C{code}.dpr"), "w", newline="") as f:
        f.write(f"program C{code};\r\n\r\nuses\r\n  Forms,\r\n{uses};\r\n\r\nbegin\r\nend.\r\n")
    for i, n in enumerate(names):
        with open(os.path.join(client, n + ".pas"), "w", newline="") as f:
            f.write(unit_text(n, i))
        with open(os.path.join(client, n + ".dfm"), "w", newline="") as f:
            f.write(form_text(n, i, i == 0))
