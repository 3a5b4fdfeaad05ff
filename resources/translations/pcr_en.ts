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
    <name>Help</name>
    <message>
        <source>关于</source>
        <translation>About</translation>
    </message>
    <message>
        <source>PCR仪校准系统软件</source>
        <translation>PCR Calibration System</translation>
    </message>
    <message>
        <source>技术支持：请联系本单位的系统管理员。</source>
        <translation>Technical support: please contact your system administrator.</translation>
    </message>
    <message>
        <source>使用说明：点击“帮助”打开用户手册。</source>
        <translation>Instructions: click &quot;Help&quot; to open the user manual.</translation>
    </message>
    <message>
        <source>帮助</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>版本：%1</source>
        <translation>Version: %1</translation>
    </message>
    <message>
        <source>警告</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>无法打开用户手册：%1</source>
        <translation>Cannot open the user manual: %1</translation>
    </message>
    <message>
        <source>手册文件缺失</source>
        <translation>manual files missing</translation>
    </message>
</context>
<context>
    <name>Login</name>
    <message>
        <source>用户登录</source>
        <translation>User Login</translation>
    </message>
    <message>
        <source>用户名：</source>
        <translation>User name:</translation>
    </message>
    <message>
        <source>密  码：</source>
        <translation>Password:</translation>
    </message>
    <message>
        <source>请输入密码</source>
        <translation>Enter the password</translation>
    </message>
    <message>
        <source>忘记密码</source>
        <translation>Forgot password</translation>
    </message>
    <message>
        <source>登 陆</source>
        <translation>Log in</translation>
    </message>
    <message>
        <source>取 消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>Notice</translation>
    </message>
    <message>
        <source>警告</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>请输入用户名!</source>
        <translation>Please enter the user name!</translation>
    </message>
    <message>
        <source>请输入密码!</source>
        <translation>Please enter the password!</translation>
    </message>
    <message>
        <source>用户名错误!</source>
        <translation>Wrong user name!</translation>
    </message>
    <message>
        <source>用户已过期!</source>
        <translation>The user has expired!</translation>
    </message>
    <message>
        <source>用户已被锁定!</source>
        <translation>The user is locked!</translation>
    </message>
    <message>
        <source>用户登录。</source>
        <translation>User logged in.</translation>
    </message>
    <message>
        <source>用户密码错误。</source>
        <translation>Wrong user password.</translation>
    </message>
    <message>
        <source>密码错误,连续3次密码错误用户将会锁定!</source>
        <translation>Wrong password. Three consecutive wrong passwords lock the user!</translation>
    </message>
    <message>
        <source>密码为：</source>
        <translation>The password is: </translation>
    </message>
    <message>
        <source>答案错误!</source>
        <translation>Wrong answer!</translation>
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
        <translation>Don&apos;t save</translation>
    </message>
</context>
<context>
    <name>PCR</name>
    <message>
        <source>PCR仪设备管理</source>
        <translation>PCR Instrument Management</translation>
    </message>
    <message>
        <source>测温仪器管理</source>
        <translation>Measuring Instrument Management</translation>
    </message>
    <message>
        <source>布点图设置</source>
        <translation>Probe Layout Settings</translation>
    </message>
    <message>
        <source>PCR仪设备校准</source>
        <translation>PCR Instrument Calibration</translation>
    </message>
    <message>
        <source>数据导出</source>
        <translation>Data Export</translation>
    </message>
    <message>
        <source>用户管理</source>
        <translation>User Management</translation>
    </message>
    <message>
        <source>审计日志</source>
        <translation>Audit Log</translation>
    </message>
    <message>
        <source>系统设置</source>
        <translation>System Settings</translation>
    </message>
    <message>
        <source>探头校准</source>
        <translation>Probe Calibration</translation>
    </message>
    <message>
        <source>探头管理</source>
        <translation>Probe Management</translation>
    </message>
    <message>
        <source>步骤文件</source>
        <translation>Cycle Files</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>警告</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>打开数据库失败！</source>
        <translation>Failed to open the database!</translation>
    </message>
    <message>
        <source>当前用户为：</source>
        <translation>Current user: </translation>
    </message>
    <message>
        <source>版权所有 © 2024 PCR仪校准系统开发组</source>
        <translation>Copyright © 2024 PCR Calibration System developers</translation>
    </message>
    <message>
        <source>版本：%1</source>
        <translation>Version: %1</translation>
    </message>
    <message>
        <source>设备正在运行中，请停止运行！</source>
        <translation>The device is running, please stop it first!</translation>
    </message>
    <message>
        <source>退出程序</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>确认退出程序?</source>
        <translation>Do you really want to exit?</translation>
    </message>
    <message>
        <source>退出软件。</source>
        <translation>Left the software.</translation>
    </message>
    <message>
        <source>校准界面不允许打开设置！</source>
        <translation>This cannot be opened from the calibration screen!</translation>
    </message>
</context>
<context>
    <name>PCRClass</name>
    <message>
        <source>PCR仪校准系统软件</source>
        <translation>PCR Calibration System</translation>
    </message>
    <message>
        <source>系统设置</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>设备管理</source>
        <translation>Instruments</translation>
    </message>
    <message>
        <source>RCR仪设备管理</source>
        <translation>PCR instrument management</translation>
    </message>
    <message>
        <source>测温仪器 </source>
        <translation>Thermometers </translation>
    </message>
    <message>
        <source>电测仪器管理</source>
        <translation>Measuring instrument management</translation>
    </message>
    <message>
        <source>探头管理</source>
        <translation>Probes</translation>
    </message>
    <message>
        <source>探头校准</source>
        <translation>Probe Cal.</translation>
    </message>
    <message>
        <source>循环文件</source>
        <translation>Cycle Files</translation>
    </message>
    <message>
        <source>循环文件设置</source>
        <translation>Cycle file settings</translation>
    </message>
    <message>
        <source>布点图</source>
        <translation>Layout</translation>
    </message>
    <message>
        <source>布点图设置</source>
        <translation>Probe Layout Settings</translation>
    </message>
    <message>
        <source>设备校准</source>
        <translation>Calibration</translation>
    </message>
    <message>
        <source>PCR仪设备校准</source>
        <translation>PCR Instrument Calibration</translation>
    </message>
    <message>
        <source>数据导出</source>
        <translation>Data Export</translation>
    </message>
    <message>
        <source>用户管理</source>
        <translation>Users</translation>
    </message>
    <message>
        <source>审计日志</source>
        <translation>Audit Log</translation>
    </message>
    <message>
        <source>关于</source>
        <translation>About</translation>
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
