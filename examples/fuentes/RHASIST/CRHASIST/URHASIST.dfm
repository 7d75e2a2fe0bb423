inherited FrmRHASIST: TFrmRHASIST
  Caption = 'Control de Asistencia'
  ClientHeight = 420
  ClientWidth = 640
  PixelsPerInch = 96
  TextHeight = 13
  object MNotas1: TMNotas
    TituloForma = 'Control de Asistencia'
  end
  object CdsDatos: SClientDataSet
    Aggregates = <>
    Params = <>
    ProviderName = 'DspDatos'
    Left = 40
    Top = 64
  end
  object frxPDFExport1: TfrxPDFExport
    UseFileCache = True
    Left = 96
    Top = 64
  end
end
