program CRHASIST;

uses
  Forms,
  URHASIST in 'URHASIST.pas' {FrmRHASIST},
  URHASISTDet in 'URHASISTDet.pas' {FrmRHASISTDet};

{$R *.res}

begin
  Application.Initialize;
  Application.CreateForm(TFrmRHASIST, FrmRHASIST);
  Application.Run;
end.
