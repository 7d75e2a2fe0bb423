unit UGNPLANI;

interface

uses
  Windows, SysUtils, Classes, Forms, DB, DBClient, SConnect, UMFrmBase, frxClass, frxExportPDF;

type
  TFrmGNPLANI = class(TFrmBase)
    CdsDatos: SClientDataSet;
    frxPDFExport1: TfrxPDFExport;
    procedure FormShow(Sender: TObject);
  end;

var
  FrmGNPLANI: TFrmGNPLANI;

implementation

{$R *.dfm}

procedure TFrmGNPLANI.FormShow(Sender: TObject);
begin
  CdsDatos.Open;
end;

end.
