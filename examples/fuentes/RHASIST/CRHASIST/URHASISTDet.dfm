inherited FrmRHASISTDet: TFrmRHASISTDet
  Caption = 'Detalle'
  PixelsPerInch = 96
  object MNotas1: TMNotas
    TituloForma = 'Detalle'
  end
end
