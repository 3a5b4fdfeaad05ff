<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>Analysis</name>
    <message>
        <source>未查找到循环文件！</source>
        <translation>Cycle file not found!</translation>
    </message>
    <message>
        <source>循环文件异常！</source>
        <translation>The cycle file is corrupt!</translation>
    </message>
    <message>
        <source>升降温循环文件步骤不能小于3步！</source>
        <translation>The heating/cooling rate cycle file must have at least 3 steps!</translation>
    </message>
    <message>
        <source>升降温循环文件步骤1温度需要小于步骤2温度！</source>
        <translation>In the heating/cooling rate cycle file, the temperature of step 1 must be below that of step 2!</translation>
    </message>
    <message>
        <source>升降温循环文件步骤3温度需要小于步骤2温度！</source>
        <translation>In the heating/cooling rate cycle file, the temperature of step 3 must be below that of step 2!</translation>
    </message>
    <message>
        <source>升降温循环文件的升降温温差需要大于十度！</source>
        <translation>The heating and cooling spans of the rate cycle file must be at least ten degrees!</translation>
    </message>
    <message>
        <source>自动识别错误，请手动分段！</source>
        <translation>Automatic recognition failed, please segment manually!</translation>
    </message>
    <message>
        <source>结束</source>
        <translation> end</translation>
    </message>
    <message>
        <source>开始</source>
        <translation> start</translation>
    </message>
    <message>
        <source>标注线不全不能生成报告！</source>
        <translation>Marker lines are incomplete, the report cannot be generated!</translation>
    </message>
    <message>
        <source>获取数据错误！</source>
        <translation>Error reading the data!</translation>
    </message>
    <message>
        <source>标注线时间必须为递增的！</source>
        <translation>Marker times must increase!</translation>
    </message>
    <message>
        <source>没有检测到标注线！</source>
        <translation>No marker lines detected!</translation>
    </message>
    <message>
        <source>标注线时间小于开始时间！</source>
        <translation>A marker lies before the start time!</translation>
    </message>
    <message>
        <source>标注线时间大于结束时间！</source>
        <translation>A marker lies after the end time!</translation>
    </message>
    <message>
        <source>未找到数据！</source>
        <translation>No data found!</translation>
    </message>
    <message>
        <source>截取的数据不匹配循环文件！</source>
        <translation>The cut data do not match the cycle file!</translation>
    </message>
    <message>
        <source>数据错误，校准失败!</source>
        <translation>Data error, calibration failed!</translation>
    </message>
    <message>
        <source>数据错误，验证失败!</source>
        <translation>Data error, verification failed!</translation>
    </message>
    <message>
        <source>合格</source>
        <translation>pass</translation>
    </message>
    <message>
        <source>不合格</source>
        <translation>fail</translation>
    </message>
    <message>
        <source>校准结果为：</source>
        <translation>Calibration result:</translation>
    </message>
    <message>
        <source>通道</source>
        <translation>Channel </translation>
    </message>
    <message>
        <source>合格  误差为：</source>
        <translation> pass  error: </translation>
    </message>
    <message>
        <source>不合格  误差为：</source>
        <translation> fail  error: </translation>
    </message>
</context>
</TS>
