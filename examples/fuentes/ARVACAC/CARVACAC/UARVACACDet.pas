unit UARVACACDet;

interface

uses
  Windows, SysUtils, Classes, Forms, UMFrmBase;

type
  TFrmARVACACDet = class(TFrmBase)
  end;

implementation

{$R *.dfm}

end.
