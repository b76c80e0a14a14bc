#!/usr/bin/env python3
"""Writes the project options records used by the heating and CLI tests, straight from the
record layout, independently of the program's own writer:

  projektoptions-v13.bin   version 13, every field a distinct value, two junction rules
  projektoptions-v13.json  what `kalydor-cli options dump` prints for it
  projektoptions-v12.bin   version 12 (no TubeLength, radiator names or TubeSizeMinimum)
  projektoptions-v11.bin   version 11 (heating chunk of 24 bytes, cooling of 6, summer time set)
  projektoptions-v10.bin   version 10 (seven floats)

Run it in this folder: python3 make_projektoptions_records.py
"""
import json
import struct


class Record:
    def __init__(self):
        self.data = bytearray()

    def i16(self, v):
        self.data += struct.pack('<h', v)

    def f32(self, v):
        self.data += struct.pack('<f', v)

    def text(self, s):
        b = s.encode('utf-8')
        self.i16(len(b) + 1)
        self.data += b + b'\0'

    def chunk(self, tag, body):
        inner = Record()
        body(inner)
        self.i16(tag)
        self.data += struct.pack('<H', len(inner.data))
        self.data += inner.data


class Values:
    """Hands out distinct values: floats n + 0.25 (exact in single precision), whole numbers,
    texts."""

    def __init__(self):
        self.n = 0

    def f(self):
        self.n += 1
        return self.n + 0.25

    def i(self):
        self.n += 1
        return self.n

    def s(self, prefix):
        self.n += 1
        return '%s-%d' % (prefix, self.n)


def hydraulic(val, version):
    h = {
        'ForwardTemperature': val.f(), 'BackwardTemperature': val.f(),
        'MediumType': val.s('Apă'), 'Ro': val.f(), 'Nu': val.f(), 'SpecificHeat': val.f(),
        'TubeType': val.s('tube'), 'IsolationType': val.s('iso'),
        'ValveType0': val.s('valve'), 'ValveType1': val.s('valve'),
        'ValveMode0': val.i(), 'ValveMode1': val.i(), 'DefaultMakro': val.s('makro'),
        'AvailablePressure': val.f(), 'SpeedMax': val.f(), 'PressureProMeterMax': val.f(),
        'TubeSizeMinimum': val.i() if version >= 13 else 0,
        'ConnectionName0': val.s('$H-in'), 'ConnectionName1': val.s('$H-out'),
    }
    return h


def write_hydraulic(r, h, version):
    r.f32(h['ForwardTemperature']); r.f32(h['BackwardTemperature']); r.text(h['MediumType'])
    r.f32(h['Ro']); r.f32(h['Nu']); r.f32(h['SpecificHeat'])
    for k in ('TubeType', 'IsolationType', 'ValveType0', 'ValveType1'):
        r.text(h[k])
    r.i16(h['ValveMode0']); r.i16(h['ValveMode1']); r.text(h['DefaultMakro'])
    r.f32(h['AvailablePressure']); r.f32(h['SpeedMax']); r.f32(h['PressureProMeterMax'])
    if version >= 13:
        r.i16(h['TubeSizeMinimum'])


def options(version):
    val = Values()
    o = {'Version': version}
    o['Panel'] = {k: val.f() for k in ('OutSideTemp', 'InSideTemp', 'OutSideRelHum',
                                       'InSideRelHum', 'DiffusionDays', 'FloorLevel')}
    o['Panel']['OutSideTemp'] = 0.1  # a value that a float holds only approximately
    o['Building'] = {k: val.i() for k in ('Compass', 'Pollution', 'WallMassMode', 'UsingMode')}
    o['Building']['Height'] = val.f()
    o['Heating'] = {'OutSideTemp': -val.f(), 'InSideTemp': val.f(), 'TransFactor': val.f(),
                    'SunShineFlag': val.i(), 'FiltMode': val.i(), 'Portion': val.f(),
                    'AirChangeFact': val.f(), 'Calculate': val.i()}
    o['Cooling'] = {'InSideTemp': val.f(), 'Calculate': val.i()}
    o['Meteorology'] = {'UserDefined': val.i(), 'Name': val.s('București'),
                        'Hours': [{k: val.f() for k in ('te', 'Azimut', 'z', 'Dir', 'Dif')}
                                  for _ in range(24)]}
    o['Radiator'] = {'Nearest': val.i(), 'CorrectionFactor': val.f(),
                     'TubeLength': val.f() if version >= 13 else None,
                     'HydraulicOptions': hydraulic(val, version)}
    o['FloorHeating'] = {'OversideTemperature': val.f(), 'Oversidek': val.f(),
                         'BundLength': val.f(), 'CoolingForwardTemperature': val.f(),
                         'CoolingBackwardTemperature': val.f(),
                         'CoolingOversideTemperature': val.f(), 'TubeLengthPlus': val.f(),
                         'TubeLengthPlusMode': val.i(), 'RegisterVolume': val.f(),
                         'HydraulicOptions': hydraulic(val, version)}
    o['OneTubeRound'] = {'Nearest': val.i(), 'CorrectionFactor': val.f(),
                         'RadiatorName': val.s('rad'), 'RadiatorFamily': val.s('family'),
                         'HydraulicOptions': hydraulic(val, version)}
    for group in ('Consumer', 'HeatChanger'):
        o[group] = {'CoolingForwardTemperature': val.f(), 'CoolingBackwardTemperature': val.f(),
                    'HydraulicOptions': hydraulic(val, version)}
    o['NormalSection'] = {'HydraulicOptions': hydraulic(val, version)}
    o['Point'] = {'Zeta': [val.f() for _ in range(8)],
                  'Rules': [{'FamilyType': val.i(), 'PointType': val.s('T'),
                             'TubeType': val.s('Cu')} for _ in range(2)]}
    o['Romanian'] = {'H': -val.f(), 'EarthLambda': val.f(), 'Tetap': val.f(), 'Ao': val.f(),
                     'AcCalculated': val.i(), 'Ac': val.f(), 'Cm': val.f(), 'E': val.f(),
                     'v': val.f()}
    o['UnknownChunks'] = ''
    return o


def chunked_record(o, version):
    r = Record()
    r.i16(version)
    p, b, h, c = o['Panel'], o['Building'], o['Heating'], o['Cooling']
    r.chunk(1, lambda x: [x.f32(p[k]) for k in ('OutSideTemp', 'InSideTemp', 'OutSideRelHum',
                                                'InSideRelHum', 'DiffusionDays', 'FloorLevel')])

    def building(x):
        for k in ('Compass', 'Pollution', 'WallMassMode', 'UsingMode'):
            x.i16(b[k])
        x.f32(b['Height'])
    r.chunk(2, building)

    def heating(x):
        x.f32(h['OutSideTemp']); x.f32(h['InSideTemp']); x.f32(h['TransFactor'])
        x.i16(h['SunShineFlag']); x.i16(h['FiltMode'])
        x.f32(h['Portion']); x.f32(h['AirChangeFact']); x.i16(h['Calculate'])
    r.chunk(3, heating)
    r.chunk(4, lambda x: (x.f32(c['InSideTemp']), x.i16(c['Calculate'])))

    def meteorology(x):
        m = o['Meteorology']
        x.i16(m['UserDefined']); x.text(m['Name'])
        for hour in m['Hours']:
            for k in ('te', 'Azimut', 'z', 'Dir', 'Dif'):
                x.f32(hour[k])
    r.chunk(5, meteorology)

    rad = o['Radiator']

    def radiator(x):
        x.i16(rad['Nearest'])
        x.f32(rad['HydraulicOptions']['ForwardTemperature'])
        x.f32(rad['HydraulicOptions']['BackwardTemperature'])
        x.f32(rad['CorrectionFactor'])
        if version >= 13:
            x.f32(rad['TubeLength'])
            x.text(rad['HydraulicOptions']['ConnectionName0'])
            x.text(rad['HydraulicOptions']['ConnectionName1'])
    r.chunk(6, radiator)

    fh = o['FloorHeating']

    def floor(x):
        x.f32(fh['OversideTemperature']); x.f32(fh['Oversidek']); x.f32(fh['BundLength'])
        write_hydraulic(x, fh['HydraulicOptions'], version)
    r.chunk(7, floor)

    def floor_cooling(x):
        for k in ('CoolingForwardTemperature', 'CoolingBackwardTemperature',
                  'CoolingOversideTemperature', 'TubeLengthPlus'):
            x.f32(fh[k])
        x.i16(fh['TubeLengthPlusMode'])
    r.chunk(14, floor_cooling)
    r.chunk(18, lambda x: x.f32(fh['RegisterVolume']))

    otr = o['OneTubeRound']

    def one_tube(x):
        x.i16(otr['Nearest']); x.f32(otr['CorrectionFactor'])
        x.text(otr['RadiatorName']); x.text(otr['RadiatorFamily'])
        write_hydraulic(x, otr['HydraulicOptions'], version)
    r.chunk(8, one_tube)
    for hyd_tag, cool_tag, group in ((9, 15, 'Consumer'), (11, 16, 'HeatChanger')):
        g = o[group]
        r.chunk(hyd_tag, lambda x, g=g: write_hydraulic(x, g['HydraulicOptions'], version))
        r.chunk(cool_tag, lambda x, g=g: (x.f32(g['CoolingForwardTemperature']),
                                          x.f32(g['CoolingBackwardTemperature'])))
    r.chunk(10, lambda x: write_hydraulic(x, rad['HydraulicOptions'], version))
    r.chunk(12, lambda x: write_hydraulic(x, o['NormalSection']['HydraulicOptions'], version))
    r.chunk(21, lambda x: [x.f32(z) for z in o['Point']['Zeta']])
    for rule in o['Point']['Rules']:
        r.chunk(20, lambda x, rule=rule: (x.i16(rule['FamilyType']), x.text(rule['PointType']),
                                          x.text(rule['TubeType'])))

    def names(x):
        for group in ('FloorHeating', 'OneTubeRound', 'Consumer', 'HeatChanger'):
            x.text(o[group]['HydraulicOptions']['ConnectionName0'])
            x.text(o[group]['HydraulicOptions']['ConnectionName1'])
    r.chunk(17, names)
    r.chunk(22, lambda x: (x.text(o['NormalSection']['HydraulicOptions']['ConnectionName0']),
                           x.text(o['NormalSection']['HydraulicOptions']['ConnectionName1'])))
    ro = o['Romanian']

    def romanian(x):
        for k in ('H', 'EarthLambda', 'Tetap', 'Ao'):
            x.f32(ro[k])
        x.i16(ro['AcCalculated'])
        for k in ('Ac', 'Cm', 'E', 'v'):
            x.f32(ro[k])
    r.chunk(19, romanian)
    r.i16(0)
    return bytes(r.data)


def version11():
    r = Record()
    r.i16(11)
    r.chunk(257, lambda x: [x.f32(v) for v in (-3.5, 21.5, 85.0, 55.0, 90.0)])
    r.chunk(258, lambda x: (x.f32(3.25), x.f32(1.5)))
    # Heating without its Calculate switch (24 bytes).
    r.chunk(259, lambda x: (x.f32(-12.0), x.f32(22.0), x.f32(0.5), x.i16(1), x.i16(3),
                            x.f32(25.0), x.f32(1.5)))
    r.chunk(260, lambda x: (x.i16(90), x.i16(2), x.i16(0), x.i16(1)))
    # Cooling without its Calculate switch (6 bytes), summer time switched on.
    r.chunk(261, lambda x: (x.f32(24.5), x.i16(1)))
    r.i16(256)
    return bytes(r.data)


def version10():
    r = Record()
    r.i16(10)
    for v in (-4.5, 19.5, 80.0, 60.0, 120.0, 2.5, 0.75):
        r.f32(v)
    return bytes(r.data)


def main():
    o13 = options(13)
    with open('projektoptions-v13.bin', 'wb') as f:
        f.write(chunked_record(o13, 13))
    with open('projektoptions-v13.json', 'w', encoding='utf-8') as f:
        json.dump(o13, f, ensure_ascii=False, indent=1)
        f.write('\n')
    with open('projektoptions-v12.bin', 'wb') as f:
        f.write(chunked_record(options(12), 12))
    with open('projektoptions-v11.bin', 'wb') as f:
        f.write(version11())
    with open('projektoptions-v10.bin', 'wb') as f:
        f.write(version10())


if __name__ == '__main__':
    main()
