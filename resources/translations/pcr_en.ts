<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
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
