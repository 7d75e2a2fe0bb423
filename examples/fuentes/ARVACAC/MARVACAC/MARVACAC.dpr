program MARVACAC;

uses
  Forms,
  MARVACACDmrImp in 'MARVACACDmrImp.pas' {DmrImp: TDataModule};

begin
  Application.Initialize;
  Application.Title := 'Gestion de Vacaciones - Servidor';
  Application.Run;
end.
