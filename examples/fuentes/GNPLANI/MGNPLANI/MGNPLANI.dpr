program MGNPLANI;

uses
  Forms,
  MGNPLANIDmrImp in 'MGNPLANIDmrImp.pas' {DmrImp: TDataModule};

begin
  Application.Initialize;
  Application.Title := 'Planilla de Remuneraciones - Servidor';
  Application.Run;
end.
