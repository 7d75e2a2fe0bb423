program CARVACAC;

uses
  Forms,
  UARVACAC in 'UARVACAC.pas' {FrmARVACAC},
  UARVACACDet in 'UARVACACDet.pas' {FrmARVACACDet};

{$R *.res}

begin
  Application.Initialize;
  Application.CreateForm(TFrmARVACAC, FrmARVACAC);
  Application.Run;
end.
