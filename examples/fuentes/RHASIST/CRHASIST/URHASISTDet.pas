unit URHASISTDet;

interface

uses
  Windows, SysUtils, Classes, Forms, UMFrmBase;

type
  TFrmRHASISTDet = class(TFrmBase)
  end;

implementation

{$R *.dfm}

end.
