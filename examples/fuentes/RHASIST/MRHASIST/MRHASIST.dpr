program MRHASIST;

uses
  Forms,
  MRHASISTDmrImp in 'MRHASISTDmrImp.pas' {DmrImp: TDataModule};

begin
  Application.Initialize;
  Application.Title := 'Control de Asistencia - Servidor';
  Application.Run;
end.
