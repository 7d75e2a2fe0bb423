unit URHASIST;

interface

uses
  Windows, SysUtils, Classes, Forms, DB, DBClient, SConnect, UMFrmBase, frxClass, frxExportPDF;

type
  TFrmRHASIST = class(TFrmBase)
    CdsDatos: SClientDataSet;
    frxPDFExport1: TfrxPDFExport;
    procedure FormShow(Sender: TObject);
  end;

var
  FrmRHASIST: TFrmRHASIST;

implementation

{$R *.dfm}

procedure TFrmRHASIST.FormShow(Sender: TObject);
begin
  CdsDatos.Open;
end;

end.
