program MGNREPOR;

uses
  Forms,
  MGNREPORDmrImp in 'MGNREPORDmrImp.pas' {DmrImp: TDataModule};

begin
  Application.Initialize;
  Application.Title := 'Reportes Generales - Servidor';
  Application.Run;
end.
