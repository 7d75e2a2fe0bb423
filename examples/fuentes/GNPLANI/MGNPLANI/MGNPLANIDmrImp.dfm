object DmrImp: TDmrImp
  OldCreateOrder = False
  Height = 300
  Width = 400
  object SDatabase1: SDatabase
    Connected = False
    DatabaseName = 'MORVEL'
    Left = 48
    Top = 24
  end
end
