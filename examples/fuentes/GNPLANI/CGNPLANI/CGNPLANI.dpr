program CGNPLANI;

uses
  Forms,
  UGNPLANI in 'UGNPLANI.pas' {FrmGNPLANI},
  UGNPLANIDet in 'UGNPLANIDet.pas' {FrmGNPLANIDet};

{$R *.res}

begin
  Application.Initialize;
  Application.CreateForm(TFrmGNPLANI, FrmGNPLANI);
  Application.Run;
end.
