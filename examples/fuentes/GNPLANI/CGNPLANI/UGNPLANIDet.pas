unit UGNPLANIDet;

interface

uses
  Windows, SysUtils, Classes, Forms, UMFrmBase;

type
  TFrmGNPLANIDet = class(TFrmBase)
  end;

implementation

{$R *.dfm}

end.
