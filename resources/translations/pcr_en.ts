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
<context>
    <name>Messages</name>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>是</source>
        <translation>Yes</translation>
    </message>
    <message>
        <source>否</source>
        <translation>No</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>不保存</source>
        <translation>Don't save</translation>
    </message>
</context>
<context>
    <name>Tool</name>
    <message>
        <source>系统设置-手动备份</source>
        <translation>Settings - manual backup</translation>
    </message>
    <message>
        <source>系统设置-自动备份</source>
        <translation>Settings - automatic backup</translation>
    </message>
    <message>
        <source>系统设置-手动恢复</source>
        <translation>Settings - manual restore</translation>
    </message>
    <message>
        <source>系统设置-修改路径</source>
        <translation>Settings - backup path</translation>
    </message>
    <message>
        <source>系统设置-公司名称</source>
        <translation>Settings - company name</translation>
    </message>
    <message>
        <source>系统设置-语言切换</source>
        <translation>Settings - language</translation>
    </message>
    <message>
        <source>系统设置-温度单位</source>
        <translation>Settings - temperature unit</translation>
    </message>
    <message>
        <source>系统设置-温度精度</source>
        <translation>Settings - temperature decimals</translation>
    </message>
    <message>
        <source>系统设置-导出格式</source>
        <translation>Settings - export format</translation>
    </message>
    <message>
        <source>PCR设备管理-添加</source>
        <translation>PCR instruments - add</translation>
    </message>
    <message>
        <source>PCR设备管理-修改</source>
        <translation>PCR instruments - modify</translation>
    </message>
    <message>
        <source>PCR设备管理-删除</source>
        <translation>PCR instruments - delete</translation>
    </message>
    <message>
        <source>PCR设备管理-查看</source>
        <translation>PCR instruments - view</translation>
    </message>
    <message>
        <source>测温仪管理-添加</source>
        <translation>Measuring instruments - add</translation>
    </message>
    <message>
        <source>测温仪管理-修改</source>
        <translation>Measuring instruments - modify</translation>
    </message>
    <message>
        <source>测温仪管理-删除</source>
        <translation>Measuring instruments - delete</translation>
    </message>
    <message>
        <source>测温仪管理-查看</source>
        <translation>Measuring instruments - view</translation>
    </message>
    <message>
        <source>测温仪管理-通信设置</source>
        <translation>Measuring instruments - communication settings</translation>
    </message>
    <message>
        <source>探头文件管理-添加</source>
        <translation>Probe files - add</translation>
    </message>
    <message>
        <source>探头文件管理-删除</source>
        <translation>Probe files - delete</translation>
    </message>
    <message>
        <source>探头文件管理-查看</source>
        <translation>Probe files - view</translation>
    </message>
    <message>
        <source>循环文件管理-添加</source>
        <translation>Cycle files - add</translation>
    </message>
    <message>
        <source>循环文件管理-删除</source>
        <translation>Cycle files - delete</translation>
    </message>
    <message>
        <source>循环文件管理-查看</source>
        <translation>Cycle files - view</translation>
    </message>
    <message>
        <source>布点图管理-添加</source>
        <translation>Layouts - add</translation>
    </message>
    <message>
        <source>布点图管理-删除</source>
        <translation>Layouts - delete</translation>
    </message>
    <message>
        <source>布点图管理-查看</source>
        <translation>Layouts - view</translation>
    </message>
    <message>
        <source>设备校准-校准</source>
        <translation>Calibration - run</translation>
    </message>
    <message>
        <source>设备校准-数据删除</source>
        <translation>Calibration - data deleted</translation>
    </message>
    <message>
        <source>数据导出-校准报告</source>
        <translation>Data export - calibration certificate</translation>
    </message>
    <message>
        <source>数据导出-校准记录</source>
        <translation>Data export - calibration record</translation>
    </message>
    <message>
        <source>数据导出-原始记录</source>
        <translation>Data export - raw record</translation>
    </message>
    <message>
        <source>用户管理-添加</source>
        <translation>Users - add</translation>
    </message>
    <message>
        <source>用户管理-修改</source>
        <translation>Users - modify</translation>
    </message>
    <message>
        <source>用户管理-删除</source>
        <translation>Users - delete</translation>
    </message>
    <message>
        <source>用户管理-登录</source>
        <translation>Users - login</translation>
    </message>
    <message>
        <source>审计日志-下载</source>
        <translation>Audit log - download</translation>
    </message>
    <message>
        <source>空</source>
        <translation>Empty</translation>
    </message>
    <message>
        <source>管理员</source>
        <translation>Administrator</translation>
    </message>
    <message>
        <source>主管</source>
        <translation>Supervisor</translation>
    </message>
    <message>
        <source>操作员</source>
        <translation>Operator</translation>
    </message>
    <message>
        <source>正常</source>
        <translation>Normal</translation>
    </message>
    <message>
        <source>锁定</source>
        <translation>Locked</translation>
    </message>
    <message>
        <source>过期</source>
        <translation>Expired</translation>
    </message>
    <message>
        <source>标准</source>
        <translation>Standard</translation>
    </message>
    <message>
        <source>内校</source>
        <translation>In-house</translation>
    </message>
    <message>
        <source>未校</source>
        <translation>Not calibrated</translation>
    </message>
    <message>
        <source>已校</source>
        <translation>Calibrated</translation>
    </message>
    <message>
        <source>串口</source>
        <translation>Serial port</translation>
    </message>
    <message>
        <source>网络</source>
        <translation>Network</translation>
    </message>
    <message>
        <source>蓝牙</source>
        <translation>Bluetooth</translation>
    </message>
</context>
</TS>
