unit MGNREPORDmrImp;

interface

uses
  SysUtils, Classes, DB, SDatabase, UMDmrBase;

type
  TDmrImp = class(TDataModule)
    SDatabase1: TSDatabase;
  end;

implementation

{$R *.dfm}

end.
