<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>ChartView</name>
    <message>
        <source>设备校准</source>
        <translation>Device calibration</translation>
    </message>
    <message>
        <source>采集时间</source>
        <translation>Acquisition time</translation>
    </message>
    <message>
        <source>温度</source>
        <translation>Temperature</translation>
    </message>
</context>
</TS>
