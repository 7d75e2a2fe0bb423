unit UARVACAC;

interface

uses
  Windows, SysUtils, Classes, Forms, DB, DBClient, SConnect, UMFrmBase, frxClass, frxExportPDF;

type
  TFrmARVACAC = class(TFrmBase)
    CdsDatos: SClientDataSet;
    frxPDFExport1: TfrxPDFExport;
    procedure FormShow(Sender: TObject);
  end;

var
  FrmARVACAC: TFrmARVACAC;

implementation

{$R *.dfm}

procedure TFrmARVACAC.FormShow(Sender: TObject);
begin
  {FALLA}
  CdsDatos.Open;
end;

end.
