{ An independent dBase engine for the interop tests: Free Pascal's TDbf reads the tables our
  engine writes and writes tables at the levels another program may use.

  tdbf_peer dump FILE
      LEVEL <table level>
      FIELD <name> <type letter> <width> <decimals> <data type>
      RECORD
      VALUE <name> NULL | VALUE <name> <value as hexadecimal bytes>
  tdbf_peer create LEVEL FILE
      standard input: one line of fields "NAME:KIND:WIDTH;..." (KIND S string, I integer,
      F float, B boolean; WIDTH for strings), then one line per record with the values in
      field order separated by ';' (empty: left blank; booleans T or F).
  tdbf_peer soluc LEVEL FILE
      as create, with the fields of the timetabler's solution table given here. }
program tdbf_peer;

{$mode objfpc}{$H+}

uses
  SysUtils, Classes, db, dbf;

const
  SolucFields = 'DIA:I:0;HORA:I:0;MARCO:S:1;AULA:S:10;ASIG:S:10;CODGRUPO:S:10;PROF:S:10;' +
                'TURNO:S:1;NIVEL:S:5;CURSO:S:3;GRUPO:S:2;TAREA:S:10;SESIONES:S:20';

var
  Numbers: TFormatSettings;

function Hex(const S: RawByteString): string;
var
  I: Integer;
begin
  Result := '';
  for I := 1 to Length(S) do
    Result := Result + IntToHex(Ord(S[I]), 2);
  if Result = '' then
    Result := '-';
end;

function Split(const Line: RawByteString): TStringList;
var
  Start, I: Integer;
begin
  Result := TStringList.Create;
  Start := 1;
  for I := 1 to Length(Line) + 1 do
    if (I > Length(Line)) or (Line[I] = ';') then
    begin
      Result.Add(Copy(Line, Start, I - Start));
      Start := I + 1;
    end;
end;

function OpenTable(const FileName: string): TDbf;
begin
  Result := TDbf.Create(nil);
  Result.FilePathFull := ExtractFilePath(ExpandFileName(FileName));
  Result.TableName := ExtractFileName(FileName);
end;

procedure Dump(const FileName: string);
var
  Table: TDbf;
  I: Integer;
  Field: TField;
  Value: RawByteString;
begin
  Table := OpenTable(FileName);
  try
    Table.ReadOnly := True;
    Table.Open;
    WriteLn('LEVEL ', Table.TableLevel);
    for I := 0 to Table.DbfFieldDefs.Count - 1 do
      with Table.DbfFieldDefs.Items[I] do
        WriteLn('FIELD ', FieldName, ' ', NativeFieldType, ' ', Size, ' ', Precision, ' ',
                FieldTypeNames[FieldType]);
    Table.First;
    while not Table.EOF do
    begin
      WriteLn('RECORD');
      for I := 0 to Table.FieldCount - 1 do
      begin
        Field := Table.Fields[I];
        if Field.IsNull then
          WriteLn('VALUE ', Field.FieldName, ' NULL')
        else
        begin
          case Field.DataType of
            ftFloat: Value := FloatToStr(Field.AsFloat, Numbers);
            ftBoolean: if Field.AsBoolean then Value := 'True' else Value := 'False';
            ftSmallint, ftInteger, ftLargeint: Value := IntToStr(Field.AsLargeInt);
          else
            Value := Field.AsString;
          end;
          WriteLn('VALUE ', Field.FieldName, ' ', Hex(Value));
        end;
      end;
      Table.Next;
    end;
    Table.Close;
  finally
    Table.Free;
  end;
end;

procedure Create(Level: Integer; const FileName, FieldList: string);
var
  Table: TDbf;
  Declared, Pieces, Values: TStringList;
  Kinds: string;
  I: Integer;
  Line: RawByteString;
begin
  Table := OpenTable(FileName);
  Declared := Split(FieldList);
  Kinds := '';
  try
    Table.TableLevel := Level;
    for I := 0 to Declared.Count - 1 do
    begin
      Pieces := TStringList.Create;
      try
        Pieces.Delimiter := ':';
        Pieces.StrictDelimiter := True;
        Pieces.DelimitedText := Declared[I];
        Kinds := Kinds + Pieces[1];
        case Pieces[1][1] of
          'S': Table.FieldDefs.Add(Pieces[0], ftString, StrToInt(Pieces[2]));
          'I': Table.FieldDefs.Add(Pieces[0], ftInteger);
          'F': Table.FieldDefs.Add(Pieces[0], ftFloat);
          'B': Table.FieldDefs.Add(Pieces[0], ftBoolean);
        else
          raise Exception.Create('unknown field kind ' + Pieces[1]);
        end;
      finally
        Pieces.Free;
      end;
    end;
    Table.CreateTable;
    Table.Exclusive := True;
    Table.Open;
    while not System.EOF(Input) do
    begin
      ReadLn(Line);
      if Line = '' then
        Continue;
      Values := Split(Line);
      try
        if Values.Count <> Length(Kinds) then
          raise Exception.Create('wrong number of values in: ' + Line);
        Table.Append;
        for I := 0 to Values.Count - 1 do
          if Values[I] <> '' then
            case Kinds[I + 1] of
              'S': Table.Fields[I].AsString := Values[I];
              'I': Table.Fields[I].AsInteger := StrToInt(Values[I]);
              'F': Table.Fields[I].AsFloat := StrToFloat(Values[I], Numbers);
              'B': Table.Fields[I].AsBoolean := Values[I] = 'T';
            end;
        Table.Post;
      finally
        Values.Free;
      end;
    end;
    Table.Close;
  finally
    Declared.Free;
    Table.Free;
  end;
end;

var
  FieldLine: string;
begin
  Numbers := DefaultFormatSettings;
  Numbers.DecimalSeparator := '.';
  Numbers.ThousandSeparator := #0;
  try
    if (ParamCount = 2) and (ParamStr(1) = 'dump') then
      Dump(ParamStr(2))
    else if (ParamCount = 3) and (ParamStr(1) = 'create') then
    begin
      ReadLn(FieldLine);
      Create(StrToInt(ParamStr(2)), ParamStr(3), FieldLine);
    end
    else if (ParamCount = 3) and (ParamStr(1) = 'soluc') then
      Create(StrToInt(ParamStr(2)), ParamStr(3), SolucFields)
    else
    begin
      WriteLn(StdErr, 'usage: tdbf_peer dump FILE | create LEVEL FILE | soluc LEVEL FILE');
      Halt(2);
    end;
  except
    on E: Exception do
    begin
      WriteLn(StdErr, 'tdbf_peer: ', E.Message);
      Halt(1);
    end;
  end;
end.
